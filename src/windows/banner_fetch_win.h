#pragma once
// Fetching a banner's movie away from the window's thread.

#include <windows.h>

#include <string>

namespace quellix::win {

// Starts a thread that fetches `address` (http or https) and then posts `message` to `target`
// with `tag` as wParam and, as lParam, a new std::string holding the bytes (null when the fetch
// failed). The receiver owns the string. Nothing waits for the thread; false when it could not
// be started.
bool fetchInBackground(HWND target, UINT message, WPARAM tag, const std::wstring& address);

} // namespace quellix::win
