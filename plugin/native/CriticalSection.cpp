#include "plugin/CriticalSection.h"

#include <mutex>
#include <new>

static_assert(sizeof(std::recursive_mutex) <= 64, "storage too small for the mutex");

static std::recursive_mutex* Native(unsigned char* storage)
{
    return std::launder(reinterpret_cast<std::recursive_mutex*>(storage));
}

CriticalSection::CriticalSection() { new (storage) std::recursive_mutex(); }
CriticalSection::~CriticalSection() { Native(storage)->~recursive_mutex(); }
void CriticalSection::Enter() { Native(storage)->lock(); }
void CriticalSection::Leave() { Native(storage)->unlock(); }
