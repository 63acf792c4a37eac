#pragma once
// Reading the library's dialogs from inside their own loop.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/support/win_support.h"

inline std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

inline std::wstring Cell(HWND list, int row, int column) {
  return test_support::ListViewText(list, row, column);
}

inline int RowCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

inline std::vector<std::wstring> ColumnCells(HWND list, int column) {
  std::vector<std::wstring> cells;
  for (int row = 0; row < RowCount(list); ++row) cells.push_back(Cell(list, row, column));
  return cells;
}

inline int RowWith(HWND list, int column, const std::wstring& text) {
  for (int row = 0; row < RowCount(list); ++row) {
    if (Cell(list, row, column) == text) return row;
  }
  return -1;
}
