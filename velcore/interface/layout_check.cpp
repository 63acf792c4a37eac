// The records and messages of velcore.h are a binary contract with games built apart from this
// library: every field's place and width is pinned here, for the 32-bit layout the contract
// fixes and for the 64-bit build with its wider handles and pointers. Nothing here runs.
#include <cstddef>

#include "velcore/interface/velcore.h"

static_assert(WM_KEYTARGET_DOWN == 0x047B);
static_assert(WM_KEYTARGET_UP == 0x047C);

// The figure of this build's layout: the first on i686, the second on x86_64.
#if defined(_WIN64)
#define VELCORE_LAYOUT(on32, on64) (on64)
#else
#define VELCORE_LAYOUT(on32, on64) (on32)
#endif
#define VELCORE_PIN(record, field, offset32, offset64, size32, size64)         \
  static_assert(offsetof(record, field) == VELCORE_LAYOUT(offset32, offset64), \
                "offset of " #record "." #field);                              \
  static_assert(sizeof(record::field) == VELCORE_LAYOUT(size32, size64),       \
                "size of " #record "." #field)
#define VELCORE_PIN_SIZE(record, size32, size64) \
  static_assert(sizeof(record) == VELCORE_LAYOUT(size32, size64), #record)

// Record, field, offset on i686, on x86_64, size on i686, on x86_64.
VELCORE_PIN(KeyTargetInfo, size, 0, 0, 4, 4);
VELCORE_PIN(KeyTargetInfo, target, 4, 8, 4, 8);
VELCORE_PIN(KeyTargetInfo, keysPath, 8, 16, 4, 8);
VELCORE_PIN_SIZE(KeyTargetInfo, 12, 24);

VELCORE_PIN(AboutBoxInfo, size, 0, 0, 4, 4);
VELCORE_PIN(AboutBoxInfo, instance, 4, 8, 4, 8);
VELCORE_PIN(AboutBoxInfo, owner, 8, 16, 4, 8);
VELCORE_PIN(AboutBoxInfo, iconId, 12, 24, 4, 4);
VELCORE_PIN(AboutBoxInfo, textId, 16, 28, 4, 4);
VELCORE_PIN(AboutBoxInfo, captionId, 20, 32, 4, 4);
VELCORE_PIN_SIZE(AboutBoxInfo, 24, 40);

VELCORE_PIN(ScoresBoxInfo, size, 0, 0, 4, 4);
VELCORE_PIN(ScoresBoxInfo, instance, 4, 8, 4, 8);
VELCORE_PIN(ScoresBoxInfo, owner, 8, 16, 4, 8);
VELCORE_PIN(ScoresBoxInfo, gameId, 12, 24, 4, 4);
VELCORE_PIN(ScoresBoxInfo, keyPath, 16, 32, 4, 8);
VELCORE_PIN(ScoresBoxInfo, newScore, 20, 40, 4, 4);
VELCORE_PIN(ScoresBoxInfo, tableSize, 24, 44, 4, 4);
VELCORE_PIN_SIZE(ScoresBoxInfo, 28, 48);
