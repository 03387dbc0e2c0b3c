#pragma once

#include <cstdint>
#include <string>

namespace os {

// An open registry key; the predefined roots below are always open.
using RegistryKeyHandle = std::uintptr_t;

namespace hkey {
inline constexpr RegistryKeyHandle ClassesRoot = 0x80000000U;
inline constexpr RegistryKeyHandle CurrentUser = 0x80000001U;
inline constexpr RegistryKeyHandle LocalMachine = 0x80000002U;
inline constexpr RegistryKeyHandle Users = 0x80000003U;
inline constexpr RegistryKeyHandle CurrentConfig = 0x80000005U;
}  // namespace hkey

// Value types, access masks and options of the registry calls.
namespace reg {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Sz = 1;
inline constexpr std::uint32_t ExpandSz = 2;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Dword = 4;
inline constexpr std::uint32_t DwordLittleEndian = 4;
inline constexpr std::uint32_t DwordBigEndian = 5;
inline constexpr std::uint32_t MultiSz = 7;

inline constexpr std::uint32_t KeyQueryValue = 0x0001;
inline constexpr std::uint32_t KeySetValue = 0x0002;
inline constexpr std::uint32_t KeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t KeyRead = 0x20019;
inline constexpr std::uint32_t KeyWrite = 0x20006;

inline constexpr std::uint32_t OptionNonVolatile = 0;

// What createKey did.
inline constexpr std::uint32_t CreatedNewKey = 1;
inline constexpr std::uint32_t OpenedExistingKey = 2;
}  // namespace reg

// The registry: a tree of keys below the predefined roots, each holding named, typed
// values. Key and value names compare without regard to letter case. Unlike the other
// areas, each call returns its result code (error::Success, or the failure's code) instead
// of setting the thread's last error, as the system's registry calls do.
class Registry {
public:
    virtual ~Registry() = default;

    // The existing key `subKey` below `key`.
    virtual long openKey(RegistryKeyHandle key, const std::string& subKey, std::uint32_t options,
                         std::uint32_t access, RegistryKeyHandle& result) = 0;
    // The key `subKey` below `key`, made with the keys on its way when missing. `disposition`
    // (may be null) tells whether it was made or opened.
    virtual long createKey(RegistryKeyHandle key, const std::string& subKey,
                           const std::string& keyClass, std::uint32_t options, std::uint32_t access,
                           RegistryKeyHandle& result, std::uint32_t* disposition) = 0;
    // Reads a value. `type` and `data` may be null; `size` holds the buffer's size and
    // receives the value's size. A buffer too small fails with error::MoreData and the
    // needed size in `size`.
    virtual long queryValue(RegistryKeyHandle key, const std::string& valueName,
                            std::uint32_t* type, unsigned char* data, std::uint32_t* size) = 0;
    // The value at `index` in the key's own order; error::NoMoreItems past the last one.
    // `name` receives its name; the data is given as for queryValue.
    virtual long enumValue(RegistryKeyHandle key, std::uint32_t index, std::string& name,
                           std::uint32_t* type, unsigned char* data, std::uint32_t* size) = 0;
    // Stores a value, replacing one of the same name.
    virtual long setValue(RegistryKeyHandle key, const std::string& valueName, std::uint32_t type,
                          const unsigned char* data, std::uint32_t size) = 0;
    virtual long deleteValue(RegistryKeyHandle key, const std::string& valueName) = 0;
    virtual long closeKey(RegistryKeyHandle key) = 0;

    // Replaces each %NAME% of the environment in `source`; names the environment does not
    // hold stay as written. The result needs as many bytes as the expanded text plus two
    // (the system's 8-bit call asks for one byte more than it stores). When `size` is at
    // least that, the text and its terminating zero are stored and their count (the text's
    // length plus one) is returned; otherwise nothing is stored and the needed size is
    // returned. 0 with the last error set on failure.
    virtual std::uint32_t expandEnvironmentStrings(const std::string& source, char* destination,
                                                   std::uint32_t size) = 0;
};

}  // namespace os
