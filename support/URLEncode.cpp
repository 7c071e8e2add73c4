#include "support/URLEncode.h"

#include <QByteArray>

namespace plinka {

std::string URLEncode::urlEncode(std::string_view text) {
    // Qt leaves exactly the URL's unreserved characters alone; bytes go in as they are, so
    // each byte of a multi-byte character becomes its own escape.
    const QByteArray encoded =
        QByteArray(text.data(), static_cast<qsizetype>(text.size())).toPercentEncoding();
    return encoded.toStdString();
}

}  // namespace plinka
