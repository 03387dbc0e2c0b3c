#pragma once

#include <cstddef>
#include <string>

namespace encryption::simple {

// A repeating-key XOR: byte i of the data is combined with the key byte that follows the
// starting index by i places. Applying it twice with the same key and index gives the data
// back, so the same call scrambles and unscrambles.
class XORCryptor {
public:
    explicit XORCryptor(std::string key);

    std::string crypt(const std::string& data, std::size_t keyIndex) const;

private:
    std::string _key;
};

}  // namespace encryption::simple
