// zarvik-print: a print dialog for the Zarvik engraver. It loads the
// engraver's panel from its plug-in bundle, lets a person (or a script,
// through --set) choose the job's settings, and submits the job to CUPS with
// the options the printer's PPD has marked.
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QImageWriter>
#include <QJsonDocument>
#include <QMessageBox>
#include <QScreen>
#include <cerrno>
#include <cstdio>
#include <iostream>

#include "host/atomic_file.h"
#include "host/texts.h"
#include "panel/ppd_text.h"
#include "zarvik-print/command_line.h"
#include "zarvik-print/language.h"
#include "zarvik-print/print_dialog.h"
#include "zarvik-print/print_job.h"

namespace {

using namespace zarvik::print;

bool hasDisplay() {
  return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
         qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

// Writes one line to standard error. Messages carry texts of a PPD, a
// settings file or a print server, which must neither break the line nor
// drive the terminal.
void say(std::string_view message) { std::cerr << "zarvik-print: " << zarvik::oneLineText(message) << "\n"; }

int fail(int status, const std::string& message) {
  say(message);
  return status;
}

// The window as shown. Offscreen, its backing store holds what the first
// paint drew: reading that back pictures the dialog without painting every
// widget a second time, as grab() does. Elsewhere a screen's grab may hold
// other windows, so the window paints itself again.
QImage picture(QWidget& window) {
  if (QScreen* screen = window.screen(); screen && QGuiApplication::platformName() == QLatin1String("offscreen")) {
    // An update posted while the first paint ran is painted now.
    QCoreApplication::sendPostedEvents();
    const QPixmap shown = screen->grabWindow(window.winId());
    if (!shown.isNull() && shown.size() == window.size() * window.devicePixelRatio()) return shown.toImage();
  }
  return window.grab().toImage();
}

int run(const CommandLine& line) {
  std::vector<std::string> warnings;
  auto opened = PrintJob::open(line, warnings);
  for (const std::string& warning : warnings) say("warning: " + warning);
  if (auto* failure = std::get_if<PrintJob::Failure>(&opened)) return fail(failure->status, failure->message);
  PrintJob& job = *std::get<std::unique_ptr<PrintJob>>(opened);

  if (std::optional<PrintJob::Failure> usage = job.applyMediaAndCopies(line)) {
    return fail(usage->status, usage->message);
  }
  if (std::optional<PrintJob::Failure> usage = job.applySettings(line.settings)) {
    return fail(usage->status, usage->message);
  }
  for (const Refusal& refusal : job.refusals()) {
    if (refusal.set.empty()) {
      say("refused " + refusal.request + " of the preset " + zarvik::host::quotedText(refusal.preset) + ": " +
          refusal.reason);
    } else {
      say("refused " + refusal.flag + " " + zarvik::host::shownText(refusal.set) + ": " + refusal.reason);
    }
  }
  int settled = job.refusals().empty() ? kExitDone : kExitRefused;

  if (line.screenshot) {
    PrintDialog dialog(job, line.files);
    dialog.show();
    QApplication::processEvents();
    QImageWriter writer(QString::fromStdString(*line.screenshot));
    if (!writer.write(picture(dialog))) {
      return fail(kExitUsage, "cannot write the screenshot " + zarvik::host::shownText(*line.screenshot) + ": " +
                                  writer.errorString().toStdString());
    }
    if (!line.dryRun) return settled;
  }

  if (!line.noGui && !line.screenshot) {
    PrintDialog dialog(job, line.files);
    dialog.exec();
    // Cancel keeps the saved settings; after a Print that failed, it
    // leaves with that failure.
    if (dialog.printStatus() != kExitDone) return fail(dialog.printStatus(), dialog.printMessage());
    return kExitDone;
  }

  if (line.dryRun) {
    if (std::optional<PrintJob::Failure> refused = job.checkFormats(line.files)) {
      return fail(refused->status, refused->message);
    }
    // Print saves after the job went out; a dry run saves only when asked,
    // and, as Print, only what the printer took whole.
    int status = settled;
    if (line.save && settled != kExitDone) {
      say("the settings were not saved, as the printer refused a setting");
    } else if (line.save) {
      if (zarvik::host::Status saved = job.saveLastUsed(); !saved.ok()) status = fail(kExitUsage, saved.message());
    }
    std::cout << QJsonDocument(job.report()).toJson(QJsonDocument::Compact).toStdString() << "\n";
    return status;
  }
  if (line.files.empty()) return fail(kExitUsage, "name the file to print, or use --dry-run");
  // A laser gets only what the person chose: with a setting refused, the
  // job would carry a value nobody asked for.
  if (settled != kExitDone) {
    return fail(kExitRefused,
                "nothing was sent to " + zarvik::host::shownText(job.printer()) + ", as the printer refused a setting");
  }
  std::variant<int, PrintJob::Failure> printed = job.print(line.files);
  if (auto* failure = std::get_if<PrintJob::Failure>(&printed)) return fail(failure->status, failure->message);
  std::cout << "job " << std::get<int>(printed) << " sent to " << zarvik::oneLineText(job.printer()) << "\n";
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) {
  zarvik::host::removeTemporaryFilesOnTermination();
  std::vector<std::string> arguments(argv + 1, argv + argc);
  ParsedCommandLine parsed = parseCommandLine(arguments);
  if (!parsed.commandLine) {
    say(parsed.error);
    std::cerr << usageText();
    return kExitUsage;
  }
  CommandLine& line = *parsed.commandLine;
  // "-" is standard input, read once into a file of its own, so that it is
  // checked and sent as any document.
  for (std::string& file : line.files) {
    if (file != "-") continue;
    const int fd = ::memfd_create("standard input", MFD_CLOEXEC);
    char buffer[65536];
    for (ssize_t n; fd >= 0 && (n = ::read(STDIN_FILENO, buffer, sizeof buffer)) != 0;) {
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 || ::write(fd, buffer, static_cast<std::size_t>(n)) != n)
        return fail(kExitUsage, "cannot read standard input");
    }
    if (fd < 0) return fail(kExitUsage, "cannot keep standard input");
    file = "/proc/self/fd/" + std::to_string(fd);
  }
  if (line.help) {
    std::cout << helpText();
    return kExitDone;
  }
  // Without a window the panel loads offscreen: no display is needed, nor
  // one that answers.
  if (line.noGui || line.screenshot) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  } else if (!hasDisplay()) {
    return fail(kExitUsage, "there is no display to show the dialog on; use --no-gui");
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName("zarvik-print");
  installTranslations(QLocale());
  // A document that cannot be read is the person's mistake whatever else
  // is asked: a dry run must not pass where the print would fail.
  if (std::optional<PrintJob::Failure> unreadable = checkDocuments(line.files)) {
    return fail(unreadable->status, unreadable->message);
  }
  // Only a regular file, or a name for one, holds settings: a device or a
  // FIFO is never read, renamed aside or replaced.
  struct stat info {};
  if (line.settingsFile && ::stat(line.settingsFile->c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    return fail(kExitUsage, "--settings " + zarvik::host::shownText(*line.settingsFile) +
                                " is not a regular file; name a settings file, or a file to create");
  }
  return run(line);
}
