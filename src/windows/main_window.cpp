#include "windows/main_window.h"

#include "config/window_settings.h"
#include "ui/bindings.h"
#include "windows/banner_win.h"
#include "windows/form_window.h"

#include <objbase.h>

#include <string>

namespace quellix::win {

int runMainWindow(const System& os, WindowsDialogs& dialogs, bool configCouldNotBeCreated,
                  std::string_view bannerAddress) {
    // The banners decode their pictures with COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int exitCode = 1;
    {
        FormWindow form(GetModuleHandleW(nullptr));
        if (form.create()) {
            dialogs.setOwner(form.handle());
            bindHandlers(os, form, [&form] { form.close(); });

            AfficherJeuxInstalles(os, form);
            AfficherChemins(os, form);
            AfficherOptions(os, form);
            if (configCouldNotBeCreated) {
                os.dialogs.showMessage(kConfigNotCreated, Buttons::Ok);
            }
            const std::string address(bannerAddress);
            for (const char* banner : {"ShockwaveFlash1", "ShockwaveFlash2"}) {
                setBannerMovie(form.control(banner), address);
            }
            for (const char* banner : {"ShockwaveFlash1", "ShockwaveFlash2"}) {
                playBanner(form.control(banner));
            }
            form.show();

            MSG message;
            BOOL got;
            exitCode = 0;
            while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
                if (got == -1) {
                    break;
                }
                if (!form.preTranslate(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            if (got == 0) {
                exitCode = static_cast<int>(message.wParam);
            }
            dialogs.setOwner(nullptr);
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return exitCode;
}

} // namespace quellix::win
