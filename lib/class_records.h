// The two exported records that describe LUMIVEXCONTROL to clients that create objects without the
// C++ header: the operation table and the field list.
#ifndef LUMIVEX_LIB_CLASS_RECORDS_H
#define LUMIVEX_LIB_CLASS_RECORDS_H

namespace lvx {

// Publishes the operation table (LUMIVEXCONTROL_OPERATIONS).
void AnnounceClass() noexcept;
// Clears LUMIVEXCONTROL_OPERATIONS again.
void WithdrawClass() noexcept;

}  // namespace lvx

#endif
