#include "settings/MediaFileBrowse.h"

#include <commdlg.h>

#include <algorithm>

namespace {
// Pairs of display text and pattern, ended by an empty pair.
const wchar_t kFilter[] = L"すべてのファイル(*.*)\0*.*\0";
}  // namespace

bool BrowseForMediaFile(HWND owner, wchar_t (&buffer)[kBrowseBufferUnits], const std::wstring& currentPath,
                        std::wstring& chosen) {
  const std::size_t kept = std::min<std::size_t>(currentPath.size(), kBrowseBufferUnits - 1);
  std::copy_n(currentPath.begin(), kept, buffer);
  buffer[kept] = L'\0';

  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = kFilter;
  request.lpstrFile = buffer;
  request.nMaxFile = kBrowseBufferUnits;
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_READONLY;
  if (!GetOpenFileNameW(&request)) return false;
  chosen = buffer;
  return true;
}
