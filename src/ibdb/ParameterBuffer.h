#pragma once

#include <QByteArray>
#include <QString>

namespace ParameterBuffer {

// One text item of an attach or service parameter buffer: its code, its
// length in a byte and its UTF-8 bytes, cut to the 255 a byte can count.
void appendText(QByteArray &buffer, char code, const QString &value);

} // namespace ParameterBuffer
