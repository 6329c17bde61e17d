// A separate process that writes through the settings store, for the tests that kill a writer
// or write beside an open instance. Config folder from $XDG_CONFIG_HOME, like the program.
//
//   settings_writer churn BYTES   rewrite "Generation" and a BYTES-long "Payload" forever,
//                                 printing "writing N" before and "written N" after each release
//   settings_writer set KEY INT   write one integer and exit

#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "churn") == 0) {
        const long bytes = std::atol(argv[2]);
        for (int generation = 1;; ++generation) {
            {
                vireo::SettingsStore store;
                vireo::OpenOwnSettings(store);
                store.SetValue("", "Generation", generation);
                store.SetValue("", "Payload", QString(bytes, QChar(u'a' + generation % 26)));
                std::printf("writing %d\n", generation);
                std::fflush(stdout);
            }
            std::printf("written %d\n", generation);
            std::fflush(stdout);
        }
    }
    if (argc == 4 && std::strcmp(argv[1], "set") == 0) {
        vireo::SettingsStore store;
        vireo::OpenOwnSettings(store);
        store.SetValue("", argv[2], std::atoi(argv[3]));
        store.Sync();
        return 0;
    }
    std::fprintf(stderr, "usage: settings_writer churn BYTES | set KEY INT\n");
    return 2;
}
