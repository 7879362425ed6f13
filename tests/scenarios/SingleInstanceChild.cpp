// A program that claims the application's single instance on the session bus its environment
// names, else on the socket in its runtime folder, for the single-instance tests. It prints
// what became of it, one line each: "primary" and then the line of every request it takes
// ("reopen", "panel 10 20") until it is ended; or "handed over" (status 0) or "unanswered"
// (status 1). Its argument, when given, is the line of the request it makes.
#include "platform/SingleInstance.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void say(const char* line) {
    std::puts(line);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SingleInstance instance("com.orvennalabs.Vesperin", QDBusConnection::sessionBus());
    const auto request = OpenRequest::parse(app.arguments().value(1, "reopen"));
    switch (instance.claim(request.value_or(OpenRequest()))) {
    case SingleInstance::Claim::handedOver:
        say("handed over");
        return 0;
    case SingleInstance::Claim::unanswered:
        say("unanswered");
        return 1;
    case SingleInstance::Claim::primary:
        break;
    }
    QObject::connect(&instance, &SingleInstance::requested,
                     [](const OpenRequest& taken) { say(qPrintable(taken.text())); });
    say("primary");
    return app.exec();
}
