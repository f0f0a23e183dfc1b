#include "CsvReaderPieces.h"

#include "TextBlockDecoder.h"

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

namespace vondrel {

namespace {

constexpr qsizetype feedBlock = 16 * 1024;

} // namespace

bool feedInBlocks(CsvParser &parser, TextBlockDecoder &decoder, QByteArrayView bytes,
                  std::vector<QChar> &text, const CsvFeedProgress &progress)
{
    const auto space = size_t(decoder.requiredSpace(feedBlock));
    if (text.size() < space)
        text.resize(space);
    qsizetype fed = 0;
    while (fed < bytes.size() && !parser.stopped()) {
        if (progress && !progress(fed))
            return false;
        QByteArrayView block = bytes.sliced(fed, qMin(feedBlock, bytes.size() - fed));
        if (fed + block.size() < bytes.size())
            block.truncate(decoder.completeLength(block));
        const QChar *end = decoder.decode(block, text.data());
        parser.feed(text.data(), end);
        fed += block.size();
    }
    return true;
}

bool CsvReaderPieces::cutsAtLineFeeds(QStringConverter::Encoding encoding)
{
    // The locale's encoding is left out: which one it is, is not known here.
    return encoding == QStringConverter::Utf8 || encoding == QStringConverter::Latin1;
}

CsvReaderPieces::CsvReaderPieces(const CsvReadOptions &options, QStringConverter::Encoding encoding,
                                 int threads)
    : m_options(options)
    , m_encoding(encoding)
    , m_threads(qMax(1, threads))
{
    // A piece holds rows only; what comes first in a file is read in order.
    m_options.withHeader = false;
    m_options.maxRows = -1;
    m_options.recordPositions = 0;
}

void CsvReaderPieces::parse(QByteArrayView bytes, qsizetype pieceBytes)
{
    m_pieces.clear();
    while (!bytes.isEmpty()) {
        qsizetype length = bytes.size();
        if (length > pieceBytes) {
            const qsizetype lineFeed = bytes.indexOf('\n', pieceBytes - 1);
            if (lineFeed >= 0)
                length = lineFeed + 1;
        }
        m_pieces.push_back(bytes.first(length));
        bytes = bytes.sliced(length);
    }
    m_parsers.clear();
    m_parsers.resize(m_pieces.size());

    // What a piece throws (no memory left) is thrown again here, as a read in order would
    // throw it; the other pieces are left.
    std::vector<std::exception_ptr> failures(m_pieces.size());
    std::atomic<int> next {0};
    const auto work = [this, &next, &failures] {
        for (int piece = next++; piece < count(); piece = next++) {
            try {
                parsePiece(piece);
            } catch (...) {
                failures[size_t(piece)] = std::current_exception();
                next = count();
            }
        }
    };
    std::vector<std::thread> helpers;
    for (int i = 1; i < qMin(m_threads, count()); ++i) {
        // Fewer threads only cost time: the running ones take all pieces.
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error &) {
            break;
        }
    }
    work();
    for (std::thread &helper : helpers)
        helper.join();
    for (const std::exception_ptr &failure : failures) {
        if (failure)
            std::rethrow_exception(failure);
    }
}

void CsvReaderPieces::parsePiece(int piece)
{
    auto parser = std::make_unique<CsvParser>(m_options);
    parser->readPiece();
    TextBlockDecoder decoder(m_encoding);
    std::vector<QChar> text;
    feedInBlocks(*parser, decoder, m_pieces[size_t(piece)], text);
    m_parsers[size_t(piece)] = std::move(parser);
}

} // namespace vondrel
