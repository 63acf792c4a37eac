#pragma once
// Resource ids of the game program.

#define IDB_TEXTURE 101
