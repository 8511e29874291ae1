#include "web/hbox.h"

#include "platform/atomicwrite.h"
#include "platform/fileapi.h"
#include "platform/winerror.h"

#include <QIODevice>
#include <QRandomGenerator>

namespace vek {
namespace {

constexpr int kSide = 256;
constexpr int kRowSum = 255 * 256 / 2;  // 0 + 1 + ... + 255
constexpr qint32 kStreamBlock = 1024;
constexpr int kTableBytes = static_cast<int>(kHBoxCells);
static_assert(kTableBytes == kSide * kSide);
// The keyed searches end for every key the family uses within a few thousand
// steps; a key for which they would never end fails instead of hanging.
constexpr int kSearchLimit = 1 << 24;

int cell(int row, int column)
{
    return row * kSide + column;
}

}  // namespace

THBox::THBox(QObject* owner) : QObject(owner)
{
}

THBox::~THBox() = default;

bool THBox::Init(bool MakeRandom, bool Check, const QByteArray& InitKey, quint16 KeySize)
{
    if (InitKey.isEmpty())
        return false;
    const int n = std::max<int>(KeySize, 16);
    const int l = static_cast<int>(InitKey.size());
    const auto initKey = [&](int i) { return static_cast<quint8>(InitKey[i % l]); };
    // The working key is expanded through the table in place now, so a second
    // Init of one box gives another key than the first.
    QByteArray expanded = InitKey;
    if (l != n) {
        expanded = QByteArray(n, '\0');
        for (int i = 0; i < n; ++i) {
            const int k = initKey(i);
            const int mixed = k * initKey(((i + 11) | 31) % l) + i;
            expanded[i] = static_cast<char>((Matrix[cell(i % kSide, k)] ^ mixed) & 0xFF);
        }
    }
    QByteArray key(n, '\0');
    for (int i = 0; i < KeySize && i < n; ++i)
        key[i] = expanded[i];
    quint8 keySum = 0;
    for (const char b : key)
        keySum = static_cast<quint8>(keySum + static_cast<quint8>(b));

    const QByteArray savedKey = Key;
    const quint8 savedSum = KeyCS;
    Key = key;
    KeyCS = keySum;
    std::array<quint8, kTableBytes> table{};
    if (!buildTable(MakeRandom, table)) {
        Key = savedKey;
        KeyCS = savedSum;
        return false;
    }
    Matrix = table;
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c)
            Matrix_1[cell(Matrix[cell(r, c)], c)] = static_cast<quint8>(r);
    }
    Active = true;
    if (!Check)
        return true;
    for (int i = 0; i < kSide; ++i) {
        int rowSum = 0;
        int columnSum = 0;
        for (int j = 0; j < kSide; ++j) {
            rowSum += Matrix[cell(i, j)];
            columnSum += Matrix[cell(j, i)];
        }
        if (rowSum != kRowSum || columnSum != kRowSum)
            return false;
    }
    return true;
}

bool THBox::buildTable(bool random, std::array<quint8, kTableBytes>& table) const
{
    auto tmp = std::make_unique<TTempArray>();
    tmp->A.fill(TTempArray::kEmptyCell);
    auto& a = tmp->A;
    const int keyLength = static_cast<int>(Key.size());
    const auto key = [&](int i) { return static_cast<quint8>(Key[i]); };
    QRandomGenerator generator(static_cast<quint32>(QRandomGenerator::system()->generate()));

    // The base column: a permutation of 0-255 in column 0.
    std::array<bool, kSide> used{};
    if (random) {
        for (int j = 0; j < kSide; ++j) {
            int value;
            do
                value = static_cast<int>(generator.bounded(kSide));
            while (used[value]);
            used[value] = true;
            a[cell(j, 0)] = static_cast<quint16>(value);
        }
    } else {
        int step = 11;
        quint8 sum = 0;
        int i = 0;
        int tries = 0;
        for (int j = 0; j < kSide;) {
            if (++tries > kSearchLimit)
                return false;
            for (int l = keyLength - 1; l >= i; --l)
                sum = static_cast<quint8>(sum + key(l) + step);
            i = (i + 1) % keyLength;
            if (used[sum]) {
                ++step;
                continue;
            }
            used[sum] = true;
            a[cell(j, 0)] = sum;
            ++j;
        }
    }

    // Every other column is the base column shifted by t, in a column chosen
    // by the key (or at random); column 0 keeps shift 0.
    int m = 0;
    for (int t = 1; t < kSide; ++t) {
        int column;
        int tries = 0;
        do {
            if (++tries > kSearchLimit)
                return false;
            if (random) {
                column = static_cast<int>(generator.bounded(kSide - 1)) + 1;
            } else {
                ++m;
                column = ((key((t + 37 + m) % keyLength) + m + KeyCS) % 255) + 1;
            }
        } while (a[cell(0, column)] != TTempArray::kEmptyCell);
        for (int r = 0; r < kSide; ++r)
            a[cell(r, column)] = a[cell((r + t) % kSide, 0)];
    }
    for (int i = 0; i < kTableBytes; ++i)
        table[i] = static_cast<quint8>(a[i] & 0xFF);
    return true;
}

void THBox::Encrypt(const QByteArray& Src, QByteArray& Dst) const
{
    const qsizetype n = Src.size();
    if (n == 0)
        return;
    const auto x = [&](qsizetype i) { return static_cast<quint8>(Src[i]); };
    QByteArray y(n, '\0');
    quint8 previous = Matrix[cell(x(0), KeyCS)];
    y[0] = static_cast<char>(previous);
    for (qsizetype i = 1; i < n; ++i) {
        previous = Matrix[cell(x(i), previous)];
        y[i] = static_cast<char>(previous);
    }
    if (n > 1) {
        quint8 next = Matrix[cell(previous, KeyCS ^ 0x55)];
        y[n - 1] = static_cast<char>(next);
        for (qsizetype i = n - 2; i >= 0; --i) {
            next = Matrix[cell(static_cast<quint8>(y[i]), next)];
            y[i] = static_cast<char>(next);
        }
    }
    Dst = y;
}

void THBox::Decrypt(const QByteArray& Src, QByteArray& Dst) const
{
    const qsizetype n = Src.size();
    if (n == 0)
        return;
    const auto z = [&](qsizetype i) { return static_cast<quint8>(Src[i]); };
    QByteArray y = Src;
    if (n > 1) {
        for (qsizetype i = 0; i < n - 1; ++i)
            y[i] = static_cast<char>(Matrix_1[cell(z(i), z(i + 1))]);
        y[n - 1] = static_cast<char>(Matrix_1[cell(z(n - 1), KeyCS ^ 0x55)]);
    }
    QByteArray x(n, '\0');
    for (qsizetype i = n - 1; i >= 1; --i)
        x[i] = static_cast<char>(Matrix_1[cell(static_cast<quint8>(y[i]), static_cast<quint8>(y[i - 1]))]);
    x[0] = static_cast<char>(Matrix_1[cell(static_cast<quint8>(y[0]), KeyCS)]);
    Dst = x;
}

qint32 THBox::streamBlocks(QIODevice& in, QIODevice& out, qint32 size, bool encrypt) const
{
    if (size <= 0)
        return 0;
    qint32 total = 0;
    const auto block = [&](qint32 length) {
        const QByteArray plain = in.read(length);
        if (plain.isEmpty())
            return;
        QByteArray done;
        if (encrypt)
            Encrypt(plain, done);
        else
            Decrypt(plain, done);
        out.write(done);
        total += static_cast<qint32>(plain.size());
    };
    for (qint32 i = 0; i < size / kStreamBlock; ++i)
        block(kStreamBlock);
    if (size % kStreamBlock)
        block(size % kStreamBlock);
    return total;
}

qint32 THBox::EncryptStream(QIODevice& InStream, QIODevice& OutStream, qint32 Size) const
{
    return streamBlocks(InStream, OutStream, Size, true);
}

qint32 THBox::DecryptStream(QIODevice& InStream, QIODevice& OutStream, qint32 Size) const
{
    return streamBlocks(InStream, OutStream, Size, false);
}

int THBox::SaveMatrix(const QString& FileName) const
{
    const QByteArray bytes(reinterpret_cast<const char*>(Matrix.data()), kTableBytes);
    return platform::writeFileAtomically(FileName, bytes);
}

int THBox::InitFromFile(const QString& FileName, const QByteArray& InitKey)
{
    platform::RawFile file;
    if (const int rc = file.open(FileName, platform::OpenMode::Read))
        return rc;
    std::array<quint8, kTableBytes> table{};
    qint64 filled = 0;
    while (filled < kTableBytes) {
        qint64 got = 0;
        if (const int rc = file.read(reinterpret_cast<char*>(table.data()) + filled, kTableBytes - filled, &got))
            return rc;
        if (got == 0)
            return platform::winerr::ReadFault;
        filled += got;
    }
    (void)file.close();  // opened for reading only: nothing of it is lost
    Matrix = table;
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c)
            Matrix_1[cell(Matrix[cell(r, c)], c)] = static_cast<quint8>(r);
    }
    Key = InitKey;
    Active = true;
    return 0;
}

}  // namespace vek
