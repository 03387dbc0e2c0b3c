#include "encryption/simple/XORCryptor.h"

#include "platform/assertion/Assertion.h"

#include <memory>
#include <new>
#include <utility>

namespace encryption::simple {

XORCryptor::XORCryptor(std::string key) : _key(std::move(key)) {
    PX_ASSERT(!_key.empty());
}

std::string XORCryptor::crypt(const std::string& data, std::size_t keyIndex) const {
    if (_key.empty()) {
        // Without a key there is nothing to combine with; the data stays as it is.
        return data;
    }
    PX_ASSERT(keyIndex < _key.size());
    std::unique_ptr<char[]> dest(new (std::nothrow) char[data.size() + 1]);
    PX_ASSERT(dest.get() != 0);
    if (dest == nullptr) {
        throw std::bad_alloc();
    }
    std::size_t k = keyIndex % _key.size();
    for (std::size_t i = 0; i < data.size(); ++i) {
        dest[i] = static_cast<char>(data[i] ^ _key[k]);
        k = k + 1 == _key.size() ? 0 : k + 1;
    }
    return std::string(dest.get(), data.size());
}

}  // namespace encryption::simple
