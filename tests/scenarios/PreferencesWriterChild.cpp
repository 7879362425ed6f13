// A second process for the preferences tests: it writes a domain while the test kills it
// or writes the same domain from elsewhere.
//
//   preferences_writer_child churn DOMAIN       rewrites a large value forever
//   preferences_writer_child keys DOMAIN PREFIX N   writes N keys PREFIX-0 ... PREFIX-(N-1)
//   preferences_writer_child cutoff DOMAIN      stores "small", then fails to store a large
//                                               value because the file size limit cuts the
//                                               write off halfway; exits 0 when the store
//                                               reported that failure
#include "settings/Preferences.h"

#include <QCoreApplication>

#include <csignal>
#include <sys/resource.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == "churn") {
        Preferences& store = Preferences::domain(args.at(2));
        for (qint64 round = 0;; ++round) {
            const QString fill = QString(200000, round % 2 ? QChar('B') : QChar('A'));
            store.setObject("blob", fill);
            store.setInteger("round", round);
        }
    }
    if (args.size() == 5 && args.at(1) == "keys") {
        Preferences& store = Preferences::domain(args.at(2));
        for (int i = 0; i < args.at(4).toInt(); ++i)
            store.setInteger(args.at(3) + "-" + QString::number(i), i);
        return 0;
    }
    if (args.size() == 3 && args.at(1) == "cutoff") {
        Preferences& store = Preferences::domain(args.at(2));
        if (!store.setInteger("small", 1))
            return 3;
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return store.setObject("blob", QString(200000, 'A')) ? 1 : 0;
    }
    return 2;
}
