#include "platform/linux/update/AppcastParser.h"

#include <QXmlStreamReader>

namespace plinka {

namespace {

std::optional<std::string> nonEmpty(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? std::nullopt : std::optional(trimmed.toStdString());
}

}  // namespace

AppcastLoader::Result parseAppcast(const QByteArray& body) {
    const QString sparkle = kSparkleNamespace;
    QXmlStreamReader xml(body);
    AppcastLoader::Result result;
    if (!xml.readNextStartElement() || xml.name() != u"rss") {
        result.failure = xml.hasError() ? "malformed appcast: " + xml.errorString().toStdString()
                                        : "the body is not an RSS feed";
        return result;
    }
    bool inItem = false;
    std::optional<std::string> itemVersion;
    std::optional<std::string> enclosureVersion;
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == u"item" && xml.namespaceUri().isEmpty()) {
            inItem = true;
            itemVersion.reset();
            enclosureVersion.reset();
        } else if (inItem && xml.isStartElement() && xml.namespaceUri() == sparkle &&
                   xml.name() == u"version") {
            itemVersion = nonEmpty(xml.readElementText());
        } else if (inItem && xml.isStartElement() && xml.name() == u"enclosure") {
            enclosureVersion =
                nonEmpty(xml.attributes().value(sparkle, QStringLiteral("version")).toString());
        } else if (inItem && xml.isEndElement() && xml.name() == u"item") {
            result.items.push_back({itemVersion ? itemVersion : enclosureVersion});
            inItem = false;
        }
    }
    if (xml.hasError()) {
        result.items.clear();
        result.failure = "malformed appcast at line " + std::to_string(xml.lineNumber()) + ": " +
                         xml.errorString().toStdString();
    }
    return result;
}

}  // namespace plinka
