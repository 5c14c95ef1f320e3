// Replaces operator new and the malloc family for the bench binary only: each call is counted
// while counting is on, then handed to the C library's own allocator.
#include "AllocationCounter.h"

#include <link.h>
#include <malloc.h>
#include <stdlib.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

// Where the game's machine code lies: executable segments of the bench binary, the C++ library
// and Bullet's libraries.
struct CodeRange {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
};
constexpr std::size_t MAX_CODE_RANGES = 64;
std::array<CodeRange, MAX_CODE_RANGES> gameCode;
std::size_t gameCodeCount = 0;

const char* const GAME_LIBRARIES[] = {"libstdc++", "libBullet", "libLinearMath"};

std::atomic<bool> counting{false};
std::atomic<std::uint64_t> gameAllocations{0};
std::atomic<std::uint64_t> driverAllocations{0};

bool isGameObject(const char* name)
{
    if (name == nullptr || name[0] == '\0') // the bench binary itself
        return true;
    for (const char* library : GAME_LIBRARIES) {
        if (std::strstr(name, library) != nullptr)
            return true;
    }
    return false;
}

int addGameCode(dl_phdr_info* info, size_t, void*)
{
    if (!isGameObject(info->dlpi_name))
        return 0;
    for (ElfW(Half) i = 0; i < info->dlpi_phnum && gameCodeCount < MAX_CODE_RANGES; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || (segment.p_flags & PF_X) == 0)
            continue;
        const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
        gameCode[gameCodeCount++] = {begin, begin + segment.p_memsz};
    }
    return 0;
}

bool isGameCode(const void* address)
{
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    for (std::size_t i = 0; i < gameCodeCount; ++i) {
        if (at >= gameCode[i].begin && at < gameCode[i].end)
            return true;
    }
    return false;
}

void count(const void* caller)
{
    if (!counting.load(std::memory_order_relaxed))
        return;
    auto& counter = isGameCode(caller) ? gameAllocations : driverAllocations;
    counter.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

AllocationCounter::AllocationCounter()
{
    gameCodeCount = 0;
    dl_iterate_phdr(addGameCode, nullptr);
}

void AllocationCounter::start()
{
    gameAllocations = 0;
    driverAllocations = 0;
    counting = true;
}

void AllocationCounter::stop()
{
    counting = false;
}

AllocationCounter::Counts AllocationCounter::counted() const
{
    return {gameAllocations.load(), driverAllocations.load()};
}

// The C++ library's other forms of new (arrays, nothrow, aligned) come here or to the C
// library's functions below.
void* operator new(std::size_t size)
{
    count(__builtin_return_address(0));
    if (void* memory = __libc_malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

extern "C" {

void* malloc(size_t size) noexcept
{
    count(__builtin_return_address(0));
    return __libc_malloc(size);
}

void* calloc(size_t items, size_t size) noexcept
{
    count(__builtin_return_address(0));
    return __libc_calloc(items, size);
}

void* realloc(void* pointer, size_t size) noexcept
{
    count(__builtin_return_address(0));
    return __libc_realloc(pointer, size);
}

void* memalign(size_t alignment, size_t size) noexcept
{
    count(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept
{
    count(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** memory, size_t alignment, size_t size) noexcept
{
    count(__builtin_return_address(0));
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    *memory = __libc_memalign(alignment, size);
    return *memory == nullptr ? ENOMEM : 0;
}

} // extern "C"
