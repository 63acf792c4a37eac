// Times a full repaint and a partial repaint (one move of the piece) of the board window at a
// handheld and a desktop client size, and counts the cells each one draws. Not a test: run it
// by hand under Wine on a screen of at least 1920 x 1080.
//   views_bench [REPEATS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "tests/win/views/host_window.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A well in mid-game: twelve rows, none of them full, and a piece falling between towers.
void FillWell(BoardProbe& board) {
  board.board.Clear();
  for (int row = 0; row < 12; ++row) {
    for (int column = 0; column < Board::kColumns; ++column) {
      if (column == row * 3 % Board::kColumns || (row + column) % 5 == 0) continue;
      board.Rest(row, column, (row + column) % 7);
    }
  }
  // Towers on both sides of the piece's lane, so a move has resting cells to redraw.
  for (int row = 12; row < 18; ++row) {
    for (int column : {0, 1, 2, 3, 7, 8, 9}) board.Rest(row, column, (row + column) % 7);
  }
  board.Fall(6, 0, 4, 12);
}

// A window whose paint does nothing: what one invalidate-and-update cycle costs by itself.
class EmptyPaint : public ui::Window<EmptyPaint> {
 public:
  static constexpr const wchar_t* kClassName = L"TalvenorEmptyPaint";
  static std::span<const ui::MessageEntry<EmptyPaint>> Messages() {
    static const ui::MessageEntry<EmptyPaint> table[] = {
        {WM_PAINT, &EmptyPaint::OnPaint},
        {WM_ERASEBKGND, &EmptyPaint::OnErase},
    };
    return table;
  }
  LRESULT OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd_, &ps);
    EndPaint(hwnd_, &ps);
    return 0;
  }
  LRESULT OnErase(WPARAM, LPARAM) { return 1; }
};

double EmptyCycle(HWND parent, const RECT& rect, int repeats) {
  EmptyPaint window;
  if (!window.Create(0, nullptr, WS_CHILD | WS_VISIBLE, rect, parent, nullptr,
                     GetModuleHandleW(nullptr))) {
    return 0;
  }
  std::vector<double> times;
  const RECT small = {0, 0, 40, 40};
  for (int i = 0; i < repeats; ++i) {
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    InvalidateRect(window.Hwnd(), &small, TRUE);
    InvalidateRect(window.Hwnd(), &small, TRUE);
    UpdateWindow(window.Hwnd());
    QueryPerformanceCounter(&t1);
    times.push_back(Milliseconds(t0, t1));
  }
  DestroyWindow(window.Hwnd());
  return Median(times);
}

bool Measure(int width, int height, int repeats) {
  if (GetSystemMetrics(SM_CXSCREEN) < width || GetSystemMetrics(SM_CYSCREEN) < height) {
    std::printf("%4d x %-4d  skipped: the screen is only %d x %d\n", width, height,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return true;
  }
  HostWindow host;
  BoardProbe board;
  if (!host.Open(RECT{0, 0, width, height}) ||
      !board.Open(host.Hwnd(), RECT{0, 0, width, height})) {
    std::printf("%4d x %-4d  no window\n", width, height);
    return false;
  }
  FillWell(board);
  for (int i = 0; i < 5; ++i) board.Repaint();
  Pump(50);

  std::vector<double> full, partial;
  int fullCells = 0, partialCells = 0;
  for (int i = 0; i < repeats; ++i) {
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    board.Repaint();
    QueryPerformanceCounter(&t1);
    full.push_back(Milliseconds(t0, t1));
    fullCells = std::max(fullCells, board.CellsDrawn());
  }
  for (int i = 0; i < repeats; ++i) {
    const int before = board.x;
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    board.Step(i % 2 ? ActionLeft : ActionRight);
    QueryPerformanceCounter(&t1);
    if (board.x == before) {
      std::printf("%4d x %-4d  the piece did not move\n", width, height);
      return false;
    }
    partial.push_back(Milliseconds(t0, t1));
    partialCells = std::max(partialCells, board.CellsDrawn());
  }
  const double f = Median(full), p = Median(partial);
  const double floor = EmptyCycle(host.Hwnd(), RECT{0, 0, width, height}, repeats);
  std::printf(
      "%4d x %-4d  cell %3d px  full %7.3f ms %3d cells  partial %7.3f ms %2d cells"
      "  partial/full %.2f  (empty paint cycle %.3f ms)\n",
      width, height, board.CellSize(), f, fullCells, p, partialCells, p / f, floor);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;
  std::printf("median of %d repaints each\n", repeats);
  bool ok = Measure(240, 320, repeats);
  ok = Measure(1920, 1080, repeats) && ok;
  return ok ? 0 : 1;
}
