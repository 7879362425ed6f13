#include "status/ownbar/StatusBarPositions.h"

#include "harness/TestProfile.h"
#include "settings/Preferences.h"
#include "status/ownbar/StatusBar.h"
#include "status/ownbar/StatusItem.h"

#include <gtest/gtest.h>

namespace {

using StatusBarPositionsTest = ProfileTest;

// Where the user dragged the items survives the process, in a domain of its own.
TEST_F(StatusBarPositionsTest, TheDraggedOrderIsKeptAcrossRuns) {
    Preferences& store = Preferences::domain(StatusBarPositions::domainName);
    for (const bool dragged : {true, false}) {
        StatusBar bar;
        StatusBarPositions positions(bar, store);
        for (const char* name : {"VSP-B", "VSP-A"})
            bar.addItem(40)->setAutosaveName(name);
        if (dragged)
            bar.moveItem(bar.items().first(), 1); // as an Alt-drag ends
        EXPECT_EQ(bar.items().first()->autosaveName(), "VSP-B");
    }
    EXPECT_EQ(store.arrayForKey(StatusBarPositions::orderKey),
              (QVariantList{QString("VSP-B"), QString("VSP-A")}));
}

} // namespace
