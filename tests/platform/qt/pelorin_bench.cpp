// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
//
// The measuring half of `make bench` (bench/run-bench drives it):
//
//   pelorin_bench generate baseline|progressive|gif WIDTH HEIGHT FILE
//   pelorin_bench decode FILE       time to decode as a show does, off the tick
//   pelorin_bench straight FILE     time to decode at full size and scale, as a
//                                   plain viewer does on the tick
//   pelorin_bench show FOLDER SECONDS RUN_SECONDS
//                                   the real program on the display given by
//                                   DISPLAY: a show of FOLDER, one key=value a
//                                   line on standard output
//   pelorin_bench listing FOLDER    time for the play list to read FOLDER
//
// Every figure is wall time in milliseconds; memory is the process's peak
// resident size (VmHWM) in megabytes.

#include "bench/ShowFigures.h"
#include "main_window/Form1.h"
#include "program/Program.h"
#include "show_window/frmShow.h"

#include "platform/Application.h"
#include "platform/detail/Access.h"
#include "platform/detail/PictureData.h"
#include "platform/qt/Timer.h"
#include "platform/qt/Widgets.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QImageReader>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

using Clock = BenchClock;

double peakMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

int straight(const char *path)
{
    QImageReader::setAllocationLimit(0);
    const auto start = Clock::now();
    QImageReader reader(QString::fromLocal8Bit(path));
    reader.setAutoTransform(true);
    const QImage full = reader.read();
    if (full.isNull())
        return 1;
    const QImage scaled = full.scaled(QSize(BenchScreen.width, BenchScreen.height),
                                      Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double ms = msSince(start);
    std::printf("straight_ms=%.1f\npeak_mb=%.1f\n", ms, peakMegabytes());
    return scaled.isNull() ? 1 : 0;
}

namespace {

double cpuMilliseconds()
{
    rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
            + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// Something like a photograph to the encoder: broad gradients, edges and
// fine grain, so the entropy decoder has real work, as it has on photos.
std::uint32_t seed = 12345;
int grain()
{
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) & 7) - 4;
}

unsigned char clampByte(int value)
{
    return static_cast<unsigned char>(std::clamp(value, 0, 255));
}

void photoRow(int y, int width, int height, std::vector<unsigned char> &row)
{
    for (int x = 0; x < width; ++x) {
        const int band = ((x * 7 / width) + (y * 5 / height)) % 3;
        const int r = 255 * x / width + grain();
        const int g = 255 * y / height + (band == 1 ? 60 : 0) + grain();
        const int b = 128 + ((x / 97 + y / 89) % 2 ? 50 : -50) + grain();
        row[static_cast<std::size_t>(x) * 3] = clampByte(r);
        row[static_cast<std::size_t>(x) * 3 + 1] = clampByte(g);
        row[static_cast<std::size_t>(x) * 3 + 2] = clampByte(b);
    }
}

int generateJpeg(bool progressive, int width, int height, const char *path)
{
    FILE *out = std::fopen(path, "wb");
    if (!out)
        return 1;
    jpeg_compress_struct info = {};
    jpeg_error_mgr errors = {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        photoRow(static_cast<int>(info.next_scanline), width, height, row);
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0 ? 0 : 1;
}

// A GIF of 256 colours, its LZW stream kept to 9-bit codes by a clear code
// every 254 codes: valid, and as much work per pixel for the decoder as
// real pictures' streams.
int generateGif(int width, int height, const char *path)
{
    std::string out = "GIF89a";
    auto put = [&](int value) { out.push_back(static_cast<char>(value & 0xff)); };
    auto put16 = [&](int value) {
        put(value);
        put(value >> 8);
    };
    put16(width);
    put16(height);
    put(0xf7);
    put(0);
    put(0);
    for (int i = 0; i < 256; ++i) {
        put(i);
        put(255 - i);
        put((i * 7) & 0xff);
    }
    put(0x2c);
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    put(0);
    put(8);
    std::string packed;
    unsigned buffer = 0;
    int bits = 0;
    auto code = [&](int value) {
        buffer |= static_cast<unsigned>(value) << bits;
        bits += 9;
        while (bits >= 8) {
            packed.push_back(static_cast<char>(buffer & 0xff));
            buffer >>= 8;
            bits -= 8;
        }
    };
    int sinceClear = 0;
    code(256);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (sinceClear == 254) {
                code(256);
                sinceClear = 0;
            }
            code(((x / 16) + (y / 16) * 3 + (grain() & 3)) & 0xff);
            ++sinceClear;
        }
    code(257);
    if (bits > 0)
        packed.push_back(static_cast<char>(buffer & 0xff));
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        const std::size_t length = std::min<std::size_t>(255, packed.size() - at);
        put(static_cast<int>(length));
        out.append(packed, at, length);
    }
    put(0);
    put(0x3b);
    std::ofstream file(path, std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return file ? 0 : 1;
}

// The Qt objects behind the program's timers and windows, whose events
// the probe watches.
QObject *timerObject(const platform::Timer &timer)
{
    return static_cast<platform::qt::Timer &>(platform::detail::Access::peer(timer)).object();
}

QWidget *widgetOf(const platform::Control &control)
{
    return platform::qt::widgetOf(platform::detail::Access::peer(control));
}

QWidget *windowOf(const platform::Form &form)
{
    return dynamic_cast<platform::qt::HasWidget &>(platform::detail::Access::peer(form)).widget();
}

// Watches the real program through Qt's events: the show's two timers'
// ticks are handled here between two clock readings, and so is a
// window's paint.
class ShowProbe : public QObject
{
public:
    ShowProbe(Program &program, int seconds, double runMs)
        : program(program), seconds(seconds), runMs(runMs)
    { }

    bool eventFilter(QObject *target, QEvent *event) override
    {
        if (event->type() == QEvent::Timer && program.showWindowLoaded()) {
            const frmShow &show = program.showWindow();
            if (target == timerObject(show.tmrOpen))
                return openTick(target, event);
            if (target == timerObject(show.tmrShow))
                return showTick(target, event);
        }
        if (event->type() == QEvent::Paint && program.showWindowLoaded()
            && target == widgetOf(program.showWindow().imgShow) && pendingOpening >= 0) {
            const auto start = Clock::now();
            static_cast<QObject *>(target)->event(event);
            figures.openingPictureDraws.push_back(msSince(start));
            return true;
        }
        if (event->type() == QEvent::UpdateRequest && program.showWindowLoaded()
            && target == windowOf(program.showWindow()))
            return paint(target, event);
        return false;
    }

    void click()
    {
        Form1 &main = program.mainWindow();
        clicked = Clock::now();
        main.cmdStartShow_Click();
    }

    void report() const { figures.print(peakMegabytes()); }

private:
    const void *shownData()
    {
        if (!program.showWindowLoaded())
            return nullptr;
        return platform::detail::PictureData::of(program.showWindow().imgShow.picture()).get();
    }

    bool openTick(QObject *timer, QEvent *event)
    {
        const auto start = Clock::now();
        static_cast<QObject *>(timer)->event(event);
        pendingOpening = msSince(start);
        figures.openingHandlers.push_back(pendingOpening);
        openingStarted = start;
        if (!program.showWindow().tmrOpen.enabled()) {
            openingEnded = Clock::now();
            figures.openingMs = msSince(clicked, openingEnded);
        }
        return true;
    }

    bool showTick(QObject *timer, QEvent *event)
    {
        const auto start = Clock::now();
        const double cpu = cpuMilliseconds();
        // A second with no change in it and none just before: what the
        // program does there is what it costs while nothing happens.
        if (lastTick && ticksSinceChange >= 1)
            figures.idleCpu.push_back((cpu - lastTickCpu) * 1000.0 / msSince(*lastTick, start));
        lastTick = start;
        lastTickCpu = cpu;
        const void *before = shownData();
        static_cast<QObject *>(timer)->event(event);
        if (shownData() != before) {
            ++changes;
            ticksSinceChange = 0;
            changeStarted = start;
            const double ideal = msSince(openingEnded, start);
            figures.cadenceErrors.push_back(ideal - changes * seconds * 1000.0);
            const std::string name = program.mainWindow().File1.fileName();
            figures.changeKinds.push_back(name.empty() ? 0 : name[0] - '0');
        } else {
            ++ticksSinceChange;
        }
        if (msSince(openingEnded) >= runMs)
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        return true;
    }

    bool paint(QObject *window, QEvent *event)
    {
        const auto start = Clock::now();
        static_cast<QObject *>(window)->event(event);
        const auto end = Clock::now();
        if (pendingOpening >= 0) {
            figures.openingCosts.push_back(pendingOpening + msSince(start, end));
            pendingOpening = -1;
        }
        if (figures.firstPaintMs < 0 && shownData())
            figures.firstPaintMs = msSince(clicked, end);
        if (changeStarted) {
            figures.changeLatencies.push_back(msSince(*changeStarted, end));
            changeStarted.reset();
        } else if (ticksSinceChange >= 1) {
            ++figures.idlePaints;
        }
        return true;
    }

    Program &program;
    int seconds;
    double runMs;
    Clock::time_point clicked;
    Clock::time_point openingStarted;
    Clock::time_point openingEnded = Clock::now() + std::chrono::hours(1);
    std::optional<Clock::time_point> changeStarted;
    std::optional<Clock::time_point> lastTick;
    double lastTickCpu = 0;
    double pendingOpening = -1;
    int changes = 0;
    int ticksSinceChange = 0;
    ShowFigures figures;
};

} // namespace

int show(const char *folder, int seconds, double runSeconds)
{
    Program program;
    program.start();
    ShowProbe probe(program, seconds, runSeconds * 1000);
    qApp->installEventFilter(&probe);
    Form1 &main = program.mainWindow();
    main.txtFolder.setText(folder);
    main.txtChange.setText(std::to_string(seconds));
    // The main window is on screen and idle before the click.
    QTimer::singleShot(800, [&] {
        probe.click();
        if (runSeconds <= 0)
            QTimer::singleShot(300, [] { QCoreApplication::exit(0); });
    });
    platform::Application::exec();
    qApp->removeEventFilter(&probe);
    probe.report();
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 6 && std::string(argv[1]) == "generate") {
        const std::string kind = argv[2];
        const int width = std::atoi(argv[3]);
        const int height = std::atoi(argv[4]);
        if (kind == "gif")
            return generateGif(width, height, argv[5]);
        return generateJpeg(kind == "progressive", width, height, argv[5]);
    }
    return runMode(argc, argv, "generate|decode|hostile|straight|show|listing");
}
