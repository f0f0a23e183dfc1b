#pragma once

#include "CsvParser.h"

#include <QByteArrayView>
#include <QStringConverter>

#include <functional>
#include <memory>
#include <vector>

namespace vondrel {

class TextBlockDecoder;

// Asked before each block with the bytes fed so far; false stops the feeding.
using CsvFeedProgress = std::function<bool(qsizetype fed)>;

// Decodes bytes of whole characters in blocks and feeds the text to the parser; at the end
// of the input, a cut-off character is decoded too. False when progress stopped it.
bool feedInBlocks(CsvParser &parser, TextBlockDecoder &decoder, QByteArrayView bytes,
                  std::vector<QChar> &text, const CsvFeedProgress &progress = {});

// Parses CSV input cut into pieces right after line feeds, each piece with a parser of its
// own as if it began a file, the pieces side by side on several threads. Where a piece
// really begins at a record start outside quotes, its parser's rows are those a parser of
// the whole input makes of it; the reader checks that before it takes them.
class CsvReaderPieces
{
public:
    // Whether a 0x0A byte of text in the encoding is always a line feed of its own, never
    // part of another character, so that input can be cut after one.
    static bool cutsAtLineFeeds(QStringConverter::Encoding encoding);

    CsvReaderPieces(const CsvReadOptions &options, QStringConverter::Encoding encoding,
                    int threads);

    // Cuts the bytes into pieces of about pieceBytes, each ending right after a line feed
    // (the last one where the bytes end), and parses them on up to the given threads.
    void parse(QByteArrayView bytes, qsizetype pieceBytes);

    int count() const { return int(m_pieces.size()); }
    QByteArrayView bytes(int piece) const { return m_pieces[size_t(piece)]; }
    CsvParser &parser(int piece) { return *m_parsers[size_t(piece)]; }

private:
    void parsePiece(int piece);

    CsvReadOptions m_options;
    QStringConverter::Encoding m_encoding;
    int m_threads;
    std::vector<QByteArrayView> m_pieces;
    std::vector<std::unique_ptr<CsvParser>> m_parsers;
};

} // namespace vondrel
