// SPDX-License-Identifier: MIT
// What a number type's print writes under the stream's default settings.
#ifndef TESSARY_PRINTED_H
#define TESSARY_PRINTED_H

#include <sstream>
#include <string>

template <typename T>
std::string printed(const T& value) {
    std::ostringstream os;
    value.print(os);
    return os.str();
}

#endif
