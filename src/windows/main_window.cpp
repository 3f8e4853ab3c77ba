#include "windows/main_window.h"

#include "config/window_settings.h"
#include "ui/bindings.h"
#include "windows/banner_win.h"
#include "windows/form_window.h"

#include <objbase.h>

#include <string>

namespace quellix::win {
namespace {

// The quiet time before each step of the later work: the window waits for input meanwhile.
constexpr UINT kLaterPauseMs = 30;

// COM on this thread, as the open-file dialog's shell views want it; ended after the window is
// gone.
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

// What the first paint does not need, done once the window has drawn itself and waits for input,
// one short step at a time with a pause before each (a timer, which comes after every paint and
// input), so that the user's input never waits long: COM, then the other tabs' pages, then the
// banners' downloads. The banners come last, so that every control exists before they start, as it
// did when all were made before the first paint: under Wine, controls created after the banners had
// started were seen drawn without their visual style.
class AfterFirstPaint {
public:
    AfterFirstPaint(FormWindow& form, ComApartment& com, std::string_view bannerAddress)
        : form_(form), com_(com), address_(bannerAddress) {}

    // Does the next step; false when none is left (it is then not called again).
    bool step() {
        if (!comStarted_) {
            comStarted_ = true;
            com_.start();
            return true;
        }
        if (form_.buildNextPage()) {
            return true;
        }
        for (const char* banner : {"ShockwaveFlash1", "ShockwaveFlash2"}) {
            setBannerMovie(form_.control(banner), address_);
            playBanner(form_.control(banner));
        }
        return false;
    }

private:
    FormWindow& form_;
    ComApartment& com_;
    std::string address_;
    bool comStarted_ = false;
};

// The window's messages until it is closed, with the later work in the pauses; the exit code.
int runMessageLoop(FormWindow& form, AfterFirstPaint& later) {
    UINT_PTR timer = 0;
    bool armed = false;
    // The next step after a pause counted from now; everything at once when no timer is to be had.
    auto pauseThenStep = [&later, &timer] {
        timer = SetTimer(nullptr, timer, kLaterPauseMs, nullptr);
        while (timer == 0 && later.step()) {
        }
    };
    MSG message;
    BOOL got;
    for (;;) {
        if (!armed && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            // The first paint is done and nothing is asked: the window waits for input.
            armed = true;
            pauseThenStep();
        }
        if ((got = GetMessageW(&message, nullptr, 0, 0)) == 0 || got == -1) {
            break;
        }
        if (message.message == WM_TIMER && message.hwnd == nullptr && timer != 0 &&
            message.wParam == timer) {
            if (later.step()) {
                pauseThenStep();
            } else {
                KillTimer(nullptr, timer);
                timer = 0;
            }
        } else if (!form.preTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (timer != 0) {
        KillTimer(nullptr, timer);
    }
    return got == 0 ? static_cast<int>(message.wParam) : 0;
}

} // namespace

int runMainWindow(const System& os, WindowsDialogs& dialogs, bool configCouldNotBeCreated,
                  std::string_view bannerAddress) {
    dialogs.useCommonControls6(); // before the common controls library is loaded
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
    const int exitCode = runMessageLoop(form, later);
    dialogs.setOwner(nullptr);
    return exitCode;
}

} // namespace quellix::win
