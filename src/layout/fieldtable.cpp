#include "fieldtable.h"

namespace layout {

namespace {

constexpr std::array<int, kFieldCount> byTextField()
{
    std::array<int, kFieldCount> fields{};
    for (const FieldInfo& field : kFields)
        fields[static_cast<std::size_t>(field.textField)] = field.index;
    return fields;
}

constexpr bool everyFieldInOneReadBlock()
{
    for (const FieldInfo& field : kFields) {
        int containing = 0;
        for (const Block& block : kReadBlocks)
            if (field.offset >= block.offset && field.offset + 2 <= block.offset + block.size)
                ++containing;
        if (containing != 1)
            return false;
    }
    int bytes = 0;
    for (const Block& block : kReadBlocks)
        bytes += block.size;
    return bytes == 2 * kFieldCount;
}

constexpr bool textFieldsArePermutation()
{
    std::array<bool, kFieldCount> seen{};
    for (const FieldInfo& field : kFields) {
        if (field.textField < 0 || field.textField >= kFieldCount || seen[static_cast<std::size_t>(field.textField)])
            return false;
        seen[static_cast<std::size_t>(field.textField)] = true;
    }
    return true;
}

constexpr bool keysAreDistinct()
{
    for (const FieldInfo& field : kFields)
        for (const FieldInfo& other : kFields)
            if (field.index != other.index && field.key == other.key)
                return false;
    return true;
}

static_assert(everyFieldInOneReadBlock(), "the read blocks must cover the 44 values exactly once");
static_assert(keysAreDistinct(), "every value has a key of its own");
static_assert(textFieldsArePermutation(), "every text field shows exactly one value");

constexpr std::array<int, kFieldCount> kByTextField = byTextField();

} // namespace

const FieldInfo& fieldForTextField(int textField)
{
    Q_ASSERT(textField >= 0 && textField < kFieldCount);
    return kFields[static_cast<std::size_t>(kByTextField[static_cast<std::size_t>(textField)])];
}

const FieldInfo* fieldAtOffset(int offset)
{
    for (const FieldInfo& field : kFields)
        if (field.offset == offset)
            return &field;
    return nullptr;
}

const FieldInfo* fieldByKey(std::string_view key)
{
    for (const FieldInfo& field : kFields)
        if (field.key == key)
            return &field;
    return nullptr;
}

} // namespace layout
