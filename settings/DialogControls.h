#pragma once
// Small operations on the controls of a dialog, by control identifier.
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace dialog_controls {

// The longest text read from a combo box, terminator included.
constexpr int kTextUnits = 4096;

void EnableControls(HWND dialog, std::initializer_list<int> ids, bool enabled);
bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);
void ShowNumber(HWND dialog, int id, unsigned value);

// A 0 to 100 trackbar with a tick and a page every 10, at value, and its number beside it.
void SetUpPercentTrackbar(HWND dialog, int trackbarId, int numberId, uint8_t value);

// Default-button style on or off, redrawn.
void SetDefaultStyle(HWND button, bool isDefault);

// A combo box's text, at most kTextUnits - 1 characters.
std::wstring ComboText(HWND combo);
// Empties the combo box and adds the entries in order (a sorted combo sorts them).
void FillCombo(HWND combo, const std::vector<std::wstring>& entries);
// Selects the entry whose text equals text exactly; false (nothing changed) when there is none.
bool SelectExactEntry(HWND combo, const std::wstring& text);

std::wstring ResourceString(HINSTANCE instance, UINT id);

// A message box over the dialog with an error icon, brought to the foreground.
void ShowError(HWND dialog, const wchar_t* text, const wchar_t* caption);

}  // namespace dialog_controls
