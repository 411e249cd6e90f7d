#include "ibdb/ParameterBuffer.h"

void ParameterBuffer::appendText(QByteArray &buffer, char code, const QString &value)
{
    const QByteArray bytes = value.toUtf8().left(255);
    buffer += code;
    buffer += char(bytes.size());
    buffer += bytes;
}
