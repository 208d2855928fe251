#include "frontend/toolkit/program_services.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "frontend/platform/x11_display.h"

namespace tamaruka {
namespace {

int savedArgc = 0;
char** savedArgv = nullptr;
bool mainLoopRunning = false;

// The message box copies itself with Ctrl+C, caption, text and buttons, in
// the plain-text layout that desktop message boxes commonly copy (and that the
// end-to-end tests read back).
class CopyableMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event != QKeySequence::Copy) {
            QMessageBox::keyPressEvent(event);
            return;
        }
        const QString rule = QStringLiteral("---------------------------\n");
        QString buttonTexts;
        for (const QAbstractButton* button : buttons()) buttonTexts += button->text() + "   ";
        QGuiApplication::clipboard()->setText(rule + windowTitle() + "\n" + rule + text() + "\n" +
                                              rule + buttonTexts.remove('&') + "\n" + rule);
    }
};

}  // namespace

void setCommandLine(int argc, char** argv)
{
    savedArgc = argc;
    savedArgv = argv;
}

void ensureApplication()
{
    if (QCoreApplication::instance()) return;
    static char fallbackName[] = "Tamaruka.scr";
    static char* fallbackArgv[] = {fallbackName, nullptr};
    if (!savedArgv) {
        savedArgc = 1;
        savedArgv = fallbackArgv;
    }
    // Lives until the process ends; QApplication keeps a reference to argc.
    auto* application = new QApplication(savedArgc, savedArgv);
    application->setApplicationName(QString::fromUtf8(applicationTitle));
    application->setQuitOnLastWindowClosed(false);
}

int runEventLoop()
{
    ensureApplication();
    mainLoopRunning = true;
    const int code = QApplication::exec();
    mainLoopRunning = false;
    return code;
}

bool eventLoopRunning() { return mainLoopRunning; }

std::string argumentText(int argc, char** argv)
{
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

void messageBox(const std::string& text)
{
    ensureApplication();
    CopyableMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(applicationTitle),
                    QString::fromUtf8(text.c_str()), QMessageBox::Ok);
    box.exec();
}

void immediateEnd(int exitCode)
{
    std::fflush(stdout);
    std::fflush(stderr);
    x11::flush();
    ::_exit(exitCode);
}

void setApplicationPointer(ApplicationPointer pointer)
{
    ensureApplication();
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    if (pointer == ApplicationPointer::Hourglass)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

ScreenSize screenSize()
{
    ensureApplication();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    return {screen->geometry().width(), screen->geometry().height()};
}

int displayBitsPerPixel() { return x11::rootBitsPerPixel(); }

bool saveBitmapFileAtomically(const std::string& path, const Bitmap& bitmap)
{
    return writeBmpFile(path, bitmap, displayBitsPerPixel());
}

}  // namespace tamaruka
