// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/Application.h"

#include <QString>
#include <QtGlobal>

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A 1024 by 768 screen at 96 dots per inch: 15360 by 11520 twips.
constexpr const char *ScreenConfig = R"({"screens":[{"name":"A","x":0,"y":0,"width":1024,)"
                                     R"("height":768,"logicalDpi":96,"dpr":1.0}],)"
                                     R"("windowFrameMargins":false})";

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform cannot raise windows and says so every time.
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support raise()")))
        return;
    if (defaultHandler)
        defaultHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    // Test discovery and ctest both run this binary without a display.
    std::string configPath;
    if (!std::getenv("QT_QPA_PLATFORM")) {
        configPath = "/tmp/pelorin-test-screen-" + std::to_string(::getpid()) + ".json";
        if (FILE *file = std::fopen(configPath.c_str(), "w")) {
            std::fputs(ScreenConfig, file);
            std::fclose(file);
            const std::string platform = "offscreen:configfile=" + configPath;
            ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
        } else {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
    }
    platform::Application application(argv[0]);
    defaultHandler = qInstallMessageHandler(quietOffscreen);
    const int result = RUN_ALL_TESTS();
    if (!configPath.empty())
        std::remove(configPath.c_str());
    return result;
}
