// Little-endian fields of the ICO and BMP formats.
#pragma once

#include <QByteArray>
#include <QtEndian>

namespace artgen {

inline void put16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

inline void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

} // namespace artgen
