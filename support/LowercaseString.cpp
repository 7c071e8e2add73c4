#include "support/LowercaseString.h"

#include <QString>

namespace plinka {

std::string lowercaseString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .toLower()
        .toStdString();
}

}  // namespace plinka
