#pragma once

#include <ibase.h>

#include <cstddef>
#include <memory>
#include <vector>

// An XSQLDA together with the data and indicator buffers its variables point
// at. The containers own all of it; nothing is freed by hand.
class IbSqlda
{
public:
    explicit IbSqlda(int capacity = 16);

    XSQLDA *get() { return reinterpret_cast<XSQLDA *>(m_storage.get()); }
    const XSQLDA *get() const { return reinterpret_cast<const XSQLDA *>(m_storage.get()); }

    // The number of variables the server described.
    int count() const { return get()->sqld; }
    // True when the server described more variables than there is room for.
    bool tooSmall() const { return get()->sqld > get()->sqln; }
    // Makes room for the described count; the caller describes again.
    void grow() { reallocate(get()->sqld); }

    XSQLVAR &var(int i) { return get()->sqlvar[i]; }
    const XSQLVAR &var(int i) const { return get()->sqlvar[i]; }

    // Gives every variable a data buffer fit for its type and an indicator:
    // what isc_dsql_fetch writes into.
    void allocateOutput();
    // Points variable i at a buffer of `size` bytes and returns it; the
    // variable's type and length are the caller's to set.
    std::byte *allocateInput(int i, std::size_t size);
    // Marks variable i as NULL (its type must be set all the same).
    void setNull(int i);

private:
    void reallocate(int capacity);
    std::byte *buffer(int i, std::size_t size);

    std::unique_ptr<std::byte[]> m_storage;
    std::vector<std::unique_ptr<std::byte[]>> m_buffers;
    std::vector<ISC_SHORT> m_indicators;
};
