#pragma once

#include "os/Registry.h"

#include <cstdint>

// The registry's names for roots, value types and access masks, spelled as the program's
// checks and messages name them.
namespace windows::registry {

using HKEY = os::RegistryKeyHandle;

inline constexpr HKEY HKEY_CLASSES_ROOT = os::hkey::ClassesRoot;
inline constexpr HKEY HKEY_CURRENT_USER = os::hkey::CurrentUser;
inline constexpr HKEY HKEY_LOCAL_MACHINE = os::hkey::LocalMachine;
inline constexpr HKEY HKEY_USERS = os::hkey::Users;
inline constexpr HKEY HKEY_CURRENT_CONFIG = os::hkey::CurrentConfig;

inline constexpr std::uint32_t REG_SZ = os::reg::Sz;
inline constexpr std::uint32_t REG_EXPAND_SZ = os::reg::ExpandSz;
inline constexpr std::uint32_t REG_BINARY = os::reg::Binary;
inline constexpr std::uint32_t REG_DWORD = os::reg::Dword;
inline constexpr std::uint32_t REG_DWORD_LITTLE_ENDIAN = os::reg::DwordLittleEndian;
inline constexpr std::uint32_t REG_DWORD_BIG_ENDIAN = os::reg::DwordBigEndian;
inline constexpr std::uint32_t REG_MULTI_SZ = os::reg::MultiSz;

inline constexpr std::uint32_t KEY_READ = os::reg::KeyRead;
inline constexpr std::uint32_t KEY_WRITE = os::reg::KeyWrite;
inline constexpr std::uint32_t KEY_CREATE_SUB_KEY = os::reg::KeyCreateSubKey;

// How RegistryKeyImpl reaches its key.
inline constexpr int OpenExisting = 0;
inline constexpr int CreateOrOpen = 1;

}  // namespace windows::registry
