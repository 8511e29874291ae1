#pragma once
// The family's table cipher for short secrets such as stored passwords: a
// 256 x 256 substitution table built from a key, and a two-pass chained
// substitution, so that every enciphered byte depends on every plain byte.
// Passwords already kept in users' settings files were enciphered with it, so
// the table, the working key and both passes must stay exactly as they are.
#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <cstddef>
#include <memory>

class QIODevice;

namespace vek {

// The cells of a 256 x 256 table.
inline constexpr std::size_t kHBoxCells = std::size_t{256} * 256;

// The work array a table is built in: 256 x 256 cells, row-major; a cell
// holding kEmptyCell has not been filled yet.
struct TTempArray {
    static constexpr quint16 kEmptyCell = 1024;
    std::array<quint16, kHBoxCells> A;
};

class THBox : public QObject {
public:
    // An inactive box (every field zero, the table all zeros), owned by `owner` when given.
    explicit THBox(QObject* owner = nullptr);
    ~THBox() override;

    // Builds the working key from `InitKey` (expanded to `KeySize` bytes, at
    // least 16, through the table the box holds now: all zeros on a new box)
    // and then the table, keyed or at random. True with the table in place;
    // false for an empty key or a key the keyed table cannot be built from
    // (the box is then left as it was), and false when `Check` is set and a
    // row or column is not a permutation (the table stays in place then).
    [[nodiscard]] bool Init(bool MakeRandom, bool Check, const QByteArray& InitKey, quint16 KeySize);
    // `Dst` receives the enciphered bytes, as many as `Src` has; an empty
    // `Src` leaves `Dst` as it was. `Src` is not changed.
    void Encrypt(const QByteArray& Src, QByteArray& Dst) const;
    // Undoes Encrypt with the same table and KeyCS.
    void Decrypt(const QByteArray& Src, QByteArray& Dst) const;
    // Enciphers `Size` bytes of `InStream` into `OutStream` in blocks of 1024
    // bytes and a last shorter block, each block its own message; returns the
    // bytes read. A block that reads nothing writes nothing; a negative size
    // reads nothing.
    qint32 EncryptStream(QIODevice& InStream, QIODevice& OutStream, qint32 Size) const;
    // The reverse, with the same block boundaries as EncryptStream.
    qint32 DecryptStream(QIODevice& InStream, QIODevice& OutStream, qint32 Size) const;
    // Writes the table as 65536 bytes, row by row, replacing the file through
    // a work file. 0, or the code of the failed step (the old file stays).
    [[nodiscard]] int SaveMatrix(const QString& FileName) const;
    // Reads a table written by SaveMatrix and builds its inverse; `Key`
    // becomes `InitKey`, KeyCS stays as it was, and the box is active. 0, or
    // the code of the failed read (2 missing, 30 shorter than a table); on
    // failure the box is left as it was.
    [[nodiscard]] int InitFromFile(const QString& FileName, const QByteArray& InitKey);

    // Matrix[r][c]; Matrix_1[Matrix[r][c]][c] == r.
    quint8 matrix(int row, int column) const { return Matrix[row * 256 + column]; }
    quint8 inverse(int row, int column) const { return Matrix_1[row * 256 + column]; }

    QByteArray Key;
    quint8 KeyCS = 0;
    std::unique_ptr<TTempArray> TMP;  // only while a table is being built
    std::array<quint8, kHBoxCells> Matrix{};
    std::array<quint8, kHBoxCells> Matrix_1{};
    bool Active = false;

private:
    [[nodiscard]] bool buildTable(bool random, std::array<quint8, kHBoxCells>& table) const;
    qint32 streamBlocks(QIODevice& in, QIODevice& out, qint32 size, bool encrypt) const;
};

}  // namespace vek
