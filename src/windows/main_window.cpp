#include "windows/main_window.h"

#include "config/window_settings.h"
#include "ui/bindings.h"
#include "windows/banner_win.h"
#include "windows/form_window.h"

#include <objbase.h>

#include <string>

namespace quellix::win {
namespace {

// COM on this thread, for the banners, which decode their pictures with it; ended after the
// window is gone.
class ComApartment {
public:
    ComApartment() = default;
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (started_) {
            CoUninitialize();
        }
    }
    void start() { started_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }

private:
    bool started_ = false;
};

// What the first paint does not need, done once the window has drawn itself and nothing else is
// asked of it, one step at a time so that the user's input never waits long: the banners start
// (COM and the download library are loaded then), then the other tabs' pages are built.
class AfterFirstPaint {
public:
    AfterFirstPaint(FormWindow& form, ComApartment& com, std::string_view bannerAddress)
        : form_(form), com_(com), address_(bannerAddress) {}

    // Does the next step; false when none is left.
    bool step() {
        if (!bannersStarted_) {
            bannersStarted_ = true;
            com_.start();
            for (const char* banner : {"ShockwaveFlash1", "ShockwaveFlash2"}) {
                setBannerMovie(form_.control(banner), address_);
                playBanner(form_.control(banner));
            }
            return true;
        }
        return form_.buildNextPage();
    }

private:
    FormWindow& form_;
    ComApartment& com_;
    std::string address_;
    bool bannersStarted_ = false;
};

} // namespace

int runMainWindow(const System& os, WindowsDialogs& dialogs, bool configCouldNotBeCreated,
                  std::string_view bannerAddress) {
    ComApartment com;
    FormWindow form(GetModuleHandleW(nullptr));
    if (!form.create()) {
        return 1;
    }
    dialogs.setOwner(form.handle());
    bindHandlers(os, form, [&form] { form.close(); });
    AfficherJeuxInstalles(os, form);
    AfficherChemins(os, form);
    AfficherOptions(os, form);
    if (configCouldNotBeCreated) {
        os.dialogs.showMessage(kConfigNotCreated, Buttons::Ok);
    }
    form.show();

    AfterFirstPaint later(form, com, bannerAddress);
    bool laterDone = false;
    MSG message;
    BOOL got;
    for (;;) {
        if (!laterDone && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            laterDone = !later.step();
            continue;
        }
        got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;
        }
        if (!form.preTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    dialogs.setOwner(nullptr);
    return got == 0 ? static_cast<int>(message.wParam) : 0;
}

} // namespace quellix::win
