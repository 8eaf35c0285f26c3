#include "plugin/CriticalSection.h"

#include <new>
#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) <= 64, "storage too small for CRITICAL_SECTION");

static CRITICAL_SECTION* Native(unsigned char* storage)
{
    return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

CriticalSection::CriticalSection() { InitializeCriticalSection(Native(storage)); }
CriticalSection::~CriticalSection() { DeleteCriticalSection(Native(storage)); }
void CriticalSection::Enter() { EnterCriticalSection(Native(storage)); }
void CriticalSection::Leave() { LeaveCriticalSection(Native(storage)); }
