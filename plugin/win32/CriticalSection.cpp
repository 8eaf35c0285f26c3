#include "plugin/CriticalSection.h"

#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(CriticalSection), "room for the critical section");

static CRITICAL_SECTION* Section(unsigned char* storage) { return reinterpret_cast<CRITICAL_SECTION*>(storage); }

// A short spin before sleeping: the editor and the host's requests hold it for microseconds.
CriticalSection::CriticalSection() { InitializeCriticalSectionAndSpinCount(Section(section), 1000); }
CriticalSection::~CriticalSection() { DeleteCriticalSection(Section(section)); }

void CriticalSection::Enter() { EnterCriticalSection(Section(section)); }
void CriticalSection::Leave() { LeaveCriticalSection(Section(section)); }
