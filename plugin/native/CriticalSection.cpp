#include "plugin/CriticalSection.h"

CriticalSection::CriticalSection() = default;
CriticalSection::~CriticalSection() = default;

void CriticalSection::Enter() { mutex.lock(); }
void CriticalSection::Leave() { mutex.unlock(); }
