// "GetStaticIndex" in the desktop program, from the click to "Init completed!" (and the end of
// the handler), against a raw read of the same index file in the same run.
#include "Harness.h"
#include "app/Application.h"
#include "gui/GuiBench.h"
#include "gui/MainWindow.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/LineList.h"
#include "world/Records.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace lw::bench {
namespace {

void WriteFile(const std::string& path, const std::vector<char>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    ::close(fd);
}

void RawRead(const std::string& path, std::vector<char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (::read(fd, buffer.data(), buffer.size()) != static_cast<ssize_t>(buffer.size()))
        std::abort();
    ::close(fd);
}

// The windows' controls are found by their names, as a user finds them.
template <class W> W& Control(QWidget& window, const char* name) {
    W* control = window.findChild<W*>(QString::fromLatin1(name));
    if (control == nullptr)
        std::abort();
    return *control;
}

struct ClickTimes {
    double toCompleted; // from the click to the log line "Init completed!"
    double toReturn;    // to the end of the handler, queued events delivered
};

// One click on a freshly started program; the set-up is not timed.
ClickTimes TimedClick(const QString& folder) {
    SilentDialogs dialogs;
    Application program(&dialogs);
    MainWindow& form = program.mainForm();
    form.show();
    Control<QLineEdit>(form, "StaIdxEdit").setText(folder + "/staidx0.mul");
    Control<QLineEdit>(form, "StaticsEdit").setText(folder + "/statics0.mul");
    Control<QLineEdit>(form, "WSCEdit").setText(folder + "/statics.cfg");
    QCoreApplication::processEvents();
    std::chrono::steady_clock::time_point completed{};
    const auto& log = Control<gui::LineList>(form, "LogListBox");
    QObject::connect(log.model(), &QAbstractItemModel::rowsInserted, [&] {
        if (log.lines().back() == "Init completed!")
            completed = std::chrono::steady_clock::now();
    });
    const auto start = std::chrono::steady_clock::now();
    Control<QPushButton>(form, "GetStaticIndexButton").click();
    const auto end = std::chrono::steady_clock::now();
    if (completed == std::chrono::steady_clock::time_point{})
        std::abort();
    return {Seconds(completed - start), Seconds(end - start)};
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

} // namespace

LW_BENCHMARK("GetStaticIndex (desktop)") {
    GuiApplication();
    const std::string folder = ScratchFolder();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder + "/settings"));
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tolvanek", "Loamwright");
        store.setValue("Mode", 0);
    }
    std::vector<char> bytes(kIndexFileSize);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 31 % 253);
    WriteFile(folder + "/staidx0.mul", bytes);
    WriteFile(folder + "/statics0.mul", {});
    WriteFile(folder + "/statics.cfg", {});

    // The program reads into a table that was allocated (and zeroed) when it started, so the
    // raw read goes into a fresh zeroed buffer of the same size too.
    std::vector<double> raws, completed, returned;
    const QString qfolder = QString::fromStdString(folder);
    TimedClick(qfolder); // warm-up
    for (int run = 0; run < 15; ++run) {
        std::vector<char> buffer(kIndexFileSize);
        const auto start = std::chrono::steady_clock::now();
        RawRead(folder + "/staidx0.mul", buffer);
        raws.push_back(Seconds(std::chrono::steady_clock::now() - start));
        const ClickTimes times = TimedClick(qfolder);
        completed.push_back(times.toCompleted);
        returned.push_back(times.toReturn);
    }
    Report("GetStaticIndex click to \"Init completed!\"", Median(completed), Median(raws), 3);
    // The handler's end also repaints the window and delivers queued input: shown for scale.
    Report("GetStaticIndex click to end of handler", Median(returned), Median(raws), 10);
}

} // namespace lw::bench
