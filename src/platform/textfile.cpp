#include "platform/textfile.h"

#include "core/fileerrors.h"
#include "core/runtimeerror.h"

#include <QFile>
#include <QSaveFile>

namespace platform {

using namespace quorbel;

TextFile::TextFile() = default;
TextFile::~TextFile()
{
    abandon();
}

void TextFile::openInput(const QString &path)
{
    abandon();
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        raise(openForReadingError(path));
    m_input = std::move(file);
}

void TextFile::openOutput(const QString &path)
{
    abandon();
    auto file = std::make_unique<QSaveFile>(path);
    // A writable file in a folder whose permissions refuse the replacement file is written in
    // place, where a failure part way can leave it cut short; everywhere else it is replaced
    // whole or not at all.
    file->setDirectWriteFallback(true);
    if (!file->open(QIODevice::WriteOnly))
        raise(openForWritingError(path));
    m_output = std::move(file);
}

void TextFile::openAppend(const QString &path)
{
    abandon();
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append))
        raise(openForWritingError(path));
    m_append = std::move(file);
}

QString TextFile::readLine()
{
    if (!m_input)
        raise(err::PathFileAccessError);
    if (m_input->atEnd())
        raise(err::InputPastEndOfFile);
    QByteArray line = m_input->readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromLocal8Bit(line);
}

void TextFile::printLine(const QString &text)
{
    QFileDevice *device = m_output ? static_cast<QFileDevice *>(m_output.get()) : m_append.get();
    if (!device)
        raise(err::PathFileAccessError);
    const QByteArray line = text.toLocal8Bit() + "\r\n";
    if (device->write(line) != line.size())
        raise(writeError(*device));
}

void TextFile::close()
{
    m_input.reset();
    m_append.reset();
    if (m_output) {
        auto output = std::move(m_output);
        // A line fits the write buffer, so a full disk shows only when the buffer is flushed,
        // and commit() would put the cut-short file in place without a word.
        if (!output->flush()) {
            const int number = writeError(*output);
            output->cancelWriting();
            raise(number);
        }
        if (!output->commit())
            raise(writeError(*output));
    }
}

void TextFile::abandon()
{
    m_input.reset();
    m_append.reset();
    if (m_output) {
        m_output->cancelWriting();
        m_output.reset();
    }
}

bool TextFile::isOpen() const
{
    return m_input || m_output || m_append;
}

} // namespace platform
