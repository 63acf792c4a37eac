#include "shell/row_sound.h"

#include <mmsystem.h>

#include "ui/system_library.h"

const wchar_t* RowSoundName(bool levelRaised) {
  return levelRaised ? L"#110" : L"#112";
}

void PlayRowSound(HINSTANCE instance, bool soundOn, bool levelRaised) {
  if (!soundOn) return;
  // The sound library and what it pulls in load with the first row, not with the program.
  const auto play = ui::SystemFunctionAs<decltype(&PlaySoundW)>(L"winmm.dll", "PlaySoundW");
  if (play) play(RowSoundName(levelRaised), instance, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
}
