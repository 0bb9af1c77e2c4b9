#include "TestSupport.h"

#include "test_resource.h"

TestDialog::TestDialog() : m_dlg(IDD_CONTROLS_TEST) {
  m_dlg.Create(IDD_CONTROLS_TEST);
  m_dlg.ShowWindow(SW_SHOW);
  m_dlg.UpdateWindow();
}

TestDialog::~TestDialog() {
  if (::IsWindow(m_dlg.m_hWnd)) m_dlg.DestroyWindow();
}

RECT TestDialog::ItemRect(int id) const {
  RECT rect;
  ::GetWindowRect(Item(id), &rect);
  ::MapWindowPoints(HWND_DESKTOP, m_dlg.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

namespace {

// A memory context with a top-down 32-bit section of the client area's size selected.
class PixelCanvas {
 public:
  explicit PixelCanvas(HWND hWnd) {
    ::GetClientRect(hWnd, &rect);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = rect.right;
    info.bmiHeader.biHeight = -rect.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc = ::CreateCompatibleDC(nullptr);
    bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous = ::SelectObject(dc, bitmap);
  }
  ~PixelCanvas() {
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
  }
  std::vector<DWORD> Pixels() const {
    ::GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(bits);
    return std::vector<DWORD>(p, p + rect.right * rect.bottom);
  }
  RECT rect;
  HDC dc;

 private:
  HBITMAP bitmap;
  HGDIOBJ previous;
  void* bits = nullptr;
};

// The label's background and font on a canvas, as its erase and paint steps set them up.
void PrepareLikeLabel(PixelCanvas& canvas, HWND hWnd) {
  ::SetBkColor(canvas.dc, ::GetSysColor(COLOR_BTNFACE));
  ::ExtTextOutA(canvas.dc, 0, 0, ETO_OPAQUE, &canvas.rect, "", 0, nullptr);
  const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(hWnd), WM_GETFONT, 0, 0));
  ::SelectObject(canvas.dc, font);
}

}  // namespace

std::vector<DWORD> CaptureClient(HWND hWnd) {
  PixelCanvas canvas(hWnd);
  const HDC screen = ::GetDC(hWnd);
  ::BitBlt(canvas.dc, 0, 0, canvas.rect.right, canvas.rect.bottom, screen, 0, 0, SRCCOPY);
  ::ReleaseDC(hWnd, screen);
  return canvas.Pixels();
}

std::vector<DWORD> RenderLabel(HWND hWnd, const std::string& text, UINT format) {
  PixelCanvas canvas(hWnd);
  PrepareLikeLabel(canvas, hWnd);
  std::string copy = text;
  ::DrawTextExA(canvas.dc, copy.data(), static_cast<int>(copy.size()), &canvas.rect, format, nullptr);
  return canvas.Pixels();
}

std::string ShortenedText(HWND hWnd, const std::string& text, UINT format) {
  PixelCanvas canvas(hWnd);
  PrepareLikeLabel(canvas, hWnd);
  std::vector<char> copy(text.begin(), text.end());
  copy.resize(text.size() + 8, '\0');
  ::DrawTextExA(canvas.dc, copy.data(), static_cast<int>(text.size()), &canvas.rect, format | DT_MODIFYSTRING, nullptr);
  return copy.data();
}

std::string ToolTipText(HWND hTool, UINT_PTR id) {
  struct Search {
    HWND tool;
    UINT_PTR id;
    std::string text;
  } search{hTool, id, {}};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hWnd, LPARAM lParam) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lParam);
        char className[64] = {};
        ::GetClassNameA(hWnd, className, sizeof className);
        if (lstrcmpiA(className, TOOLTIPS_CLASSA) != 0) return TRUE;
        // The wide message: the ANSI one gives at most 80 bytes.
        wchar_t buffer[1024] = {};
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.hwnd = s.tool;
        info.uId = s.id;
        info.lpszText = buffer;
        if (!::SendMessageW(hWnd, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) return TRUE;
        buffer[0] = L'\0';
        info.lpszText = buffer;
        ::SendMessageW(hWnd, TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&info));
        char text[2048] = {};
        ::WideCharToMultiByte(CP_ACP, 0, buffer, -1, text, sizeof text, nullptr, nullptr);
        s.text = text;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.text;
}

ColourAnswer AskColour(HWND hParent, HWND hControl) {
  const HDC dc = ::CreateCompatibleDC(nullptr);
  const auto brush = reinterpret_cast<HBRUSH>(
      ::SendMessageA(hParent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hControl)));
  const ColourAnswer answer{::GetTextColor(dc), ::GetBkMode(dc), brush};
  ::DeleteDC(dc);
  return answer;
}

void SendMouseMove(HWND hWnd, int x, int y) {
  ::SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}
