#include "plugin/CriticalSection.h"

#include <windows.h>

uintptr_t CriticalSection::ThisThread() { return GetCurrentThreadId(); }

namespace {

using WaitOnAddressFunction = BOOL(WINAPI*)(volatile VOID*, PVOID, SIZE_T, DWORD);
using WakeByAddressAllFunction = VOID(WINAPI*)(PVOID);

// Windows 8 and later wait on an address; Windows 7 has no such call and naps instead.
// Looked up while the library loads, so that the audio thread never waits on a first use.
struct AddressWaits {
    WaitOnAddressFunction wait = nullptr;
    WakeByAddressAllFunction wakeAll = nullptr;

    AddressWaits()
    {
        HMODULE kernel = GetModuleHandleA("kernelbase.dll");
        if (!kernel) return;
        auto* waitOn = reinterpret_cast<WaitOnAddressFunction>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "WaitOnAddress")));
        auto* wake = reinterpret_cast<WakeByAddressAllFunction>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "WakeByAddressAll")));
        if (waitOn && wake) {
            wait = waitOn;
            wakeAll = wake;
        }
    }
};

const AddressWaits addressWaits;

}  // namespace

void CriticalSection::SleepWhileUnchanged(std::atomic<uint32_t>& word, uint32_t seen)
{
    if (!addressWaits.wait) {
        Sleep(1);
        return;
    }
    addressWaits.wait(reinterpret_cast<volatile VOID*>(&word), &seen, sizeof seen, 1);
}

void CriticalSection::WakeAll(std::atomic<uint32_t>& word)
{
    if (addressWaits.wakeAll) addressWaits.wakeAll(reinterpret_cast<PVOID>(&word));
}
