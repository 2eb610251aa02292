#pragma once
// A picture as the serializer sees it (the special class scTBitmap): the bytes
// of its bitmap, kept as they are (a BMP file image); nothing here decodes them.

#include "core/Persistent.h"

#include <string>

namespace pelmora::core {

class TPicture : public TPersistent {
    PELMORA_CLASS(TPicture, TPersistent)
public:
    TPicture() = default;

    const std::string& Bitmap() const { return bitmap_; }
    void LoadBitmap(std::string bytes) { bitmap_ = std::move(bytes); }
    bool IsEmpty() const { return bitmap_.empty(); }

    void Assign(const TPersistent& source) override;

private:
    std::string bitmap_; // the bitmap's bytes
};

} // namespace pelmora::core
