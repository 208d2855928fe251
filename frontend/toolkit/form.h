#pragma once
#include <QWidget>

class QEventLoop;

namespace tamaruka {

// A window of the front-end with the toolkit's event order:
//   load          once, at creation (load()), before the first display
//   resize        at the first display and at every size change
//   query-unload  when the window is asked to close (never cancelled)
//   unload        after query-unload; the window is then gone
// Every handler runs under the error rule (runStep): an exception abandons
// the handler, never reaches Qt. Unloading the last loaded form ends the
// program's event loop.
class Form : public QWidget {
public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    // Creates the native window (so its caption is visible on the X server,
    // mapped or not) and runs the load handler once. Does not show it.
    void load();
    bool isLoaded() const { return loaded_; }

    // Shows the window and returns at once.
    void showModeless();
    // Shows the window application-modal and returns when it has been unloaded.
    void showModal();

    // Asks the window to close: query-unload, then unload, then it hides and
    // is deleted later. Does nothing when it is not loaded.
    void unload();

    // Sizes in twips (the designs' unit) to pixels at 15 twips per pixel.
    static int twipsToPixels(int twips);

protected:
    virtual void onLoad() {}
    virtual void onResize() {}
    virtual void onQueryUnload() {}
    virtual void onUnload() {}

    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void runUnloadSequence();

    bool loaded_ = false;
    bool unloading_ = false;
    QEventLoop* modalLoop_ = nullptr;
};

}  // namespace tamaruka
