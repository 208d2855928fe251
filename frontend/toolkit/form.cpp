#include "frontend/toolkit/form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QResizeEvent>

#include "common/error_rule.h"
#include "frontend/toolkit/program_services.h"

namespace tamaruka {
namespace {

int loadedForms = 0;

}  // namespace

Form::Form(QWidget* parent) : QWidget(parent) {}

Form::~Form()
{
    if (loaded_) --loadedForms;
}

void Form::load()
{
    if (loaded_) return;
    winId();  // the native window exists from here on, with its caption
    loaded_ = true;
    ++loadedForms;
    runStep([&] { onLoad(); });
}

void Form::showModeless()
{
    load();
    if (loaded_) show();
}

void Form::showModal()
{
    load();
    if (!loaded_) return;  // the load handler unloaded it already
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec();
    modalLoop_ = nullptr;
}

void Form::unload()
{
    if (loaded_ && !unloading_) runUnloadSequence();
}

int Form::twipsToPixels(int twips) { return twips / twipsPerPixel; }

void Form::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (loaded_) runStep([&] { onResize(); });
}

void Form::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (loaded_ && !unloading_) runUnloadSequence();
}

void Form::runUnloadSequence()
{
    unloading_ = true;
    runStep([&] { onQueryUnload(); });  // the front-end never cancels
    runStep([&] { onUnload(); });
    loaded_ = false;
    unloading_ = false;
    --loadedForms;
    hide();
    // The native window goes too, so that its caption is no longer found.
    QMetaObject::invokeMethod(this, [this] { destroy(); }, Qt::QueuedConnection);
    if (modalLoop_) {
        modalLoop_->exit();
    } else if (loadedForms == 0 && eventLoopRunning()) {
        // Unloading the last window ends the program's event loop. Only that
        // loop: exit() outside it would make every later modal loop return at once.
        QCoreApplication::exit(0);
    }
}

}  // namespace tamaruka
