// An image in memory: the description of PLImageInfo plus a colour table (for
// depths of 8 and less) and a table of row addresses, row 0 the top row. How
// the pixels are stored is up to the concrete class.
#pragma once

#include "bitmap/PLColor.h"
#include "bitmap/PLImageInfo.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class PLBitmap : public PLImageInfo {
public:
    PLBitmap();
    PLBitmap(const PLBitmap&) = delete;
    PLBitmap& operator=(const PLBitmap&) = delete;
    ~PLBitmap() override;

    // Create with the seven fields of info.
    virtual void CreateFromInfo(const PLImageInfo& info);
    // Replaces the storage: previous pixels and colours are lost. The new
    // pixels are not cleared; a depth below 16 gets a grey-ramp colour table.
    // Throws PLTextException for sizes and depths that cannot be stored, and
    // then leaves the bitmap as it was.
    virtual void Create(int width, int height, int bitsPerPixel, bool hasAlpha, bool isGreyscale, PLPoint resolution);
    // An estimate of the bytes the bitmap takes, counting its tables.
    virtual std::size_t MemoryUsed() const = 0;
    // Bytes of one row in memory (rows carry no padding).
    virtual int LineBytes() const = 0;
    // Bracket pixel work; they only count.
    virtual void BeginAccess(bool readable, bool writable);
    virtual void EndAccess();

    // 2^depth; 16,777,216 for depths above 24.
    int ColorCount() const;
    // ColorCount() entries for depths of 8 and less; null for deeper bitmaps.
    PLColor* ColorTable() { return m_colorTable.get(); }
    const PLColor* ColorTable() const { return m_colorTable.get(); }
    // Height() row addresses, the top row first.
    std::uint8_t** Lines() { return m_lineTable.get(); }
    const std::uint8_t* const* Lines() const { return m_lineTable.get(); }
    int AccessCount() const { return m_accessCount; }

    // Copies ColorCount() entries from entries.
    void SetColorTable(const PLColor* entries);
    // Entry i gets the grey i x (255 / (ColorCount() - 1)), alpha 255.
    void SetGreyRamp();

    // Row bytes of a bitmap of that width and depth: whole bytes, rounded up.
    static std::uint64_t RowBytes(int width, int bitsPerPixel);

protected:
    // The bytes of a row of that size and depth when rows of it can be
    // stored (a supported depth, no negative side, the block and the row
    // table each within 2 GB); otherwise throws PLTextException.
    static std::uint64_t StorableLineBytes(int width, int height, int bitsPerPixel);
    [[noreturn]] static void RefuseStorage(int code, const char* why, int width, int height, int bitsPerPixel);

    virtual void AllocateStorage(int width, int height, int bitsPerPixel, bool hasAlpha, bool isGreyscale) = 0;
    virtual void FreeStorage() = 0;
    virtual void BuildLineTable() = 0;

    // For the concrete class: the tables it allocates and hands over.
    std::unique_ptr<PLColor[]> m_colorTable;
    std::unique_ptr<std::uint8_t*[]> m_lineTable;

private:
    int m_accessCount = 0;
};
