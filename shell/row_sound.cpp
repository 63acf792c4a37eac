#include "shell/row_sound.h"

#include <mmsystem.h>

const wchar_t* RowSoundName(bool levelRaised) {
  return levelRaised ? L"#110" : L"#112";
}

void PlayRowSound(HINSTANCE instance, bool soundOn, bool levelRaised) {
  if (!soundOn) return;
  PlaySoundW(RowSoundName(levelRaised), instance, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
}
