#pragma once
// Resource ids of velcore.dll, grouped by part.
