#pragma once

#include <ibase.h>

#include <utility>

// Move-only owners of client-library handles. A handle is released by the
// owner's destructor on every path; code never frees one by hand. Release
// errors are ignored there: the handle is gone either way.
template <typename Handle, ISC_STATUS (*Release)(ISC_STATUS *, Handle *)>
class IbHandle
{
public:
    IbHandle() = default;
    ~IbHandle() { reset(); }
    IbHandle(const IbHandle &) = delete;
    IbHandle &operator=(const IbHandle &) = delete;
    IbHandle(IbHandle &&other) noexcept : m_handle(std::exchange(other.m_handle, 0)) {}
    IbHandle &operator=(IbHandle &&other) noexcept
    {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, 0);
        }
        return *this;
    }

    Handle *ref() { return &m_handle; }
    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != 0; }

    // Forgets the handle without releasing it (after a successful commit,
    // detach or close, which released it already).
    void forget() { m_handle = 0; }

    void reset()
    {
        if (m_handle) {
            ISC_STATUS_ARRAY status;
            Release(status, &m_handle);
            m_handle = 0;
        }
    }

private:
    Handle m_handle = 0;
};

namespace IbRelease {
inline ISC_STATUS detach(ISC_STATUS *s, isc_db_handle *h) { return isc_detach_database(s, h); }
inline ISC_STATUS rollback(ISC_STATUS *s, isc_tr_handle *h) { return isc_rollback_transaction(s, h); }
inline ISC_STATUS dropStatement(ISC_STATUS *s, isc_stmt_handle *h) { return isc_dsql_free_statement(s, h, DSQL_drop); }
inline ISC_STATUS closeBlob(ISC_STATUS *s, isc_blob_handle *h) { return isc_cancel_blob(s, h); }
} // namespace IbRelease

using IbAttachment = IbHandle<isc_db_handle, IbRelease::detach>;
// An owned transaction that was neither committed nor rolled back is rolled back.
using IbTransaction = IbHandle<isc_tr_handle, IbRelease::rollback>;
using IbStatement = IbHandle<isc_stmt_handle, IbRelease::dropStatement>;
using IbBlob = IbHandle<isc_blob_handle, IbRelease::closeBlob>;
