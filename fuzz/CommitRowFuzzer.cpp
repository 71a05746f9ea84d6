// Any bytes for any row: CommitRow never crashes, stores a finite value inside
// the row's limits, and its display text reads back to the stored value.
#include "GeneralData.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace brelloc;

namespace {

[[noreturn]] void Fail(const char* what, int row, const std::string& text)
{
    std::fprintf(stderr, "CommitRow property failed: %s (row %d, display \"%s\")\n", what, row,
                 text.c_str());
    std::abort();
}

double StoredValue(const GeneralData& data, int row)
{
    switch (row) {
    case RowHL: return data.HL;
    case RowNK: return data.NK;
    case RowXmaxL: return data.XmaxL;
    default: return data.Squares;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    const int row = bytes[0] % kGridRowCount;
    const std::string text(reinterpret_cast<const char*>(bytes + 1), size - 1);

    GeneralData data;
    InitDefaults(data);
    const std::string display = CommitRow(data, row, text);
    UpdateDerived(data);
    const double stored = StoredValue(data, row);

    if (!std::isfinite(stored) || !std::isfinite(data.PotentialStep) ||
        !std::isfinite(data.TexScale))
        Fail("a stored or derived value is not finite", row, display);
    if (row == RowSquares && (data.Squares < 2 || data.Squares > 20))
        Fail("number of squares outside 2..20", row, display);
    if (row == RowXmaxL && !(stored >= 1.0))
        Fail("Xmax/L below 1", row, display);
    if ((row == RowHL || row == RowNK) && !(stored >= 0.0))
        Fail("negative H/L or N/k", row, display);
    if (display != RowText(data, row))
        Fail("returned text is not the row's display text", row, display);

    // The display text is the stored value rounded to three decimals (or the
    // integer itself): reading it back lands within half a unit of the last
    // decimal, and committing it again is a fixed point, however long it is.
    const RowReading back = ReadRowText(row, display, display.size());
    const double tolerance = row == RowSquares ? 0.0 : 0.0005 + std::fabs(stored) * 1e-15;
    if (!(std::fabs(back.value - stored) <= tolerance))
        Fail("display text does not read back to the stored value", row, display);
    GeneralData again = data;
    if (CommitRow(again, row, display) != display)
        Fail("committing the display text again changes it", row, display);
    return 0;
}
