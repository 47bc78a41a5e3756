#include "TestWav.h"

#include <QByteArray>
#include <QDataStream>
#include <QFile>

bool WriteTestWav(const QString& path, double seconds, int rate, int channels,
                  const std::function<qint16(int frame)>& sample) {
    const int frames = static_cast<int>(seconds * rate);
    QByteArray data(qsizetype(frames) * channels * 2, '\0');
    if (sample) {
        for (int i = 0; i < frames; ++i) {
            const qint16 v = sample(i);
            for (int c = 0; c < channels; ++c) {
                const qsizetype at = (qsizetype(i) * channels + c) * 2;
                data[at] = static_cast<char>(v & 0xFF);
                data[at + 1] = static_cast<char>((v >> 8) & 0xFF);
            }
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + data.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(channels) << quint32(rate) << quint32(rate * channels * 2)
        << quint16(channels * 2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(data.size());
    out.writeRawData(data.constData(), data.size());
    return file.flush() && out.status() == QDataStream::Ok;
}
