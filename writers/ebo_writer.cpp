#include "writers/ebo_writer.h"

#include <cstring>

#include "common/endian.h"

namespace kelvane::writers {
namespace {

void put16(std::vector<std::uint8_t>& bytes, std::int64_t offset, std::uint16_t value) {
    storeLe16(&bytes.at(static_cast<std::size_t>(offset + 1)) - 1, value);
}

void put32(std::vector<std::uint8_t>& bytes, std::int64_t offset, std::uint32_t value) {
    storeLe32(&bytes.at(static_cast<std::size_t>(offset + 3)) - 3, value);
}

constexpr std::int64_t kHeaderSize = 48, kHeadSize = 20, kDescriptorSize = 16, kRecordSize = 28, kEntrySize = 48;

std::int64_t grow(std::vector<std::uint8_t>& bytes, std::int64_t size) {
    const auto at = static_cast<std::int64_t>(bytes.size());
    bytes.resize(bytes.size() + static_cast<std::size_t>(size));
    return at;
}

std::int64_t append(std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& data) {
    const std::int64_t at = grow(bytes, static_cast<std::int64_t>(data.size()));
    std::copy(data.begin(), data.end(), bytes.begin() + at);
    return at;
}

std::int64_t appendRecord(std::vector<std::uint8_t>& bytes, std::int32_t byteSize, std::int32_t stride,
                          std::int32_t dataOffset, std::int32_t entryCount, std::int32_t entryTable) {
    const std::int64_t at = grow(bytes, kRecordSize);
    put32(bytes, at, byteSize);
    put32(bytes, at + 4, stride);
    put32(bytes, at + 8, dataOffset);
    put32(bytes, at + 20, entryCount);
    put32(bytes, at + 24, entryTable);
    return at;
}

void putDescriptor(std::vector<std::uint8_t>& bytes, std::int64_t at, std::uint16_t kind, std::int64_t target) {
    put16(bytes, at, kind);
    put32(bytes, at + 12, static_cast<std::uint32_t>(target - at));
}

template <typename T>
void appendFloats(std::vector<std::uint8_t>& out, const T* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t at = grow(out, 4);
        static_assert(sizeof(T) == 4);
        std::uint32_t word = 0;  // the float's bits (the web build's library has no std::bit_cast)
        std::memcpy(&word, &values[i], 4);
        put32(out, at, word);
    }
}

}  // namespace

BuiltEbo buildEbo(const EboFile& file) {
    const bool current = file.generation == Generation::Current;
    BuiltEbo built;
    auto& bytes = built.bytes;
    auto& layout = built.layout;
    grow(bytes, kHeaderSize);

    // Sections: head, descriptors, and in the current generation's first
    // section the object entry table with the blocks and name offsets.
    struct Pending {
        std::int64_t at;
        const EboDescriptor* descriptor;
        int section;
    };
    std::vector<Pending> pending;
    std::int64_t tableDescriptor = -1;
    std::vector<std::int64_t> nameOffsetFields;  // where the name offset of entry i goes
    const auto names = static_cast<std::int64_t>(file.names.size());

    for (std::size_t i = 0; i < file.sections.size(); ++i) {
        const EboSection& section = file.sections[i];
        const bool withTable = current && i == 0;
        const std::int64_t head = grow(bytes, kHeadSize);
        layout.sections.push_back(head);
        layout.descriptors.emplace_back();
        layout.targets.emplace_back();
        if (withTable) tableDescriptor = grow(bytes, kDescriptorSize);
        for (const auto& descriptor : section.descriptors) {
            const std::int64_t at = grow(bytes, kDescriptorSize);
            layout.descriptors.back().push_back(at);
            pending.push_back({at, &descriptor, static_cast<int>(i)});
        }
        if (withTable && names > 0) {
            layout.entryTable = grow(bytes, kEntrySize * names);
            for (std::int64_t e = 0; e < names; ++e) {
                if (e > 0) nameOffsetFields.push_back(grow(bytes, 4));
                const std::int64_t block = grow(bytes, 4);
                put32(bytes, layout.entryTable + kEntrySize * e + 12, static_cast<std::uint32_t>(block));
            }
            nameOffsetFields.push_back(grow(bytes, 4));  // the last 4 bytes of the section
        }
        const auto ownCount = static_cast<std::int16_t>(section.descriptors.size() + (withTable ? 1 : 0));
        put16(bytes, head + 2, static_cast<std::uint16_t>(section.descriptorCount.value_or(ownCount)));
        const auto size = static_cast<std::int32_t>(static_cast<std::int64_t>(bytes.size()) - head);
        put32(bytes, head + 16, static_cast<std::uint32_t>(section.size.value_or(size)));
    }
    if (layout.entryTable < 0) layout.entryTable = static_cast<std::int64_t>(bytes.size());

    // Records and data after the sections.
    if (tableDescriptor >= 0) {
        layout.objectTableRecord =
            appendRecord(bytes, 0, 0, 0, file.entryCount.value_or(static_cast<std::int32_t>(names)),
                         static_cast<std::int32_t>(layout.entryTable));
        putDescriptor(bytes, tableDescriptor, file.objectTableKind, layout.objectTableRecord);
    }
    for (const Pending& p : pending) {
        const EboDescriptor& d = *p.descriptor;
        std::int64_t target;
        if (d.kind == 0) {
            target = appendRecord(bytes, 0, 0, 0, 0, 0);
            const std::int64_t data = append(bytes, d.data);
            put32(bytes, target, static_cast<std::uint32_t>(d.byteSize.value_or(static_cast<std::int32_t>(d.data.size()))));
            put32(bytes, target + 4, static_cast<std::uint32_t>(d.stride));
            put32(bytes, target + 8, static_cast<std::uint32_t>(d.dataOffset.value_or(static_cast<std::int32_t>(data))));
        } else {
            target = append(bytes, d.data);
        }
        putDescriptor(bytes, p.at, d.kind, target);
        layout.targets[p.section].push_back(target);
    }

    // Names last, each at its offset from the name base.
    layout.nameBase = static_cast<std::int64_t>(bytes.size());
    for (std::int64_t e = 0; e < names; ++e) {
        const std::string& name = file.names[e];
        const std::int64_t at = append(bytes, std::vector<std::uint8_t>(name.begin(), name.end()));
        if (file.terminateNames) grow(bytes, 1);
        layout.names.push_back(at);
        put32(bytes, nameOffsetFields[e], static_cast<std::uint32_t>(at - layout.nameBase));
    }

    put32(bytes, 8, static_cast<std::uint32_t>(file.limit.value_or(static_cast<std::int32_t>(layout.entryTable))));
    put32(bytes, 16, static_cast<std::uint32_t>(file.firstSection.value_or(static_cast<std::int32_t>(kHeaderSize))));
    put32(bytes, 32, static_cast<std::uint32_t>(layout.nameBase));
    put16(bytes, 36,
          static_cast<std::uint16_t>(file.sectionCount.value_or(static_cast<std::int16_t>(file.sections.size()))));
    return built;
}

std::vector<std::uint8_t> bytesOf(const std::vector<Vec3f>& values) {
    std::vector<std::uint8_t> out;
    for (const Vec3f& v : values) {
        const float xyz[] = {v.x, v.y, v.z};
        appendFloats(out, xyz, 3);
    }
    return out;
}

std::vector<std::uint8_t> bytesOf(const std::vector<Vec2f>& values) {
    std::vector<std::uint8_t> out;
    for (const Vec2f& v : values) {
        const float uv[] = {v.u, v.v};
        appendFloats(out, uv, 2);
    }
    return out;
}

std::vector<std::uint8_t> bytesOf(const std::vector<std::uint16_t>& values) {
    std::vector<std::uint8_t> out;
    for (std::uint16_t v : values) put16(out, grow(out, 2), v);
    return out;
}

EboDescriptor arrayDescriptor(std::int32_t stride, std::vector<std::uint8_t> data) {
    EboDescriptor d;
    d.kind = 0;
    d.stride = stride;
    d.data = std::move(data);
    return d;
}

std::vector<EboDescriptor> objectDescriptors(const EboObject& object, Generation generation) {
    std::vector<std::pair<std::int32_t, std::vector<std::uint8_t>>> arrays;
    arrays.emplace_back(12, bytesOf(object.positions));
    if (object.normals && traits(generation).normals) arrays.emplace_back(12, bytesOf(*object.normals));
    arrays.emplace_back(8, bytesOf(object.texCoords));
    arrays.emplace_back(2, bytesOf(object.strip));

    std::vector<EboDescriptor> out;
    for (auto& [stride, data] : arrays) {
        if (generation == Generation::Current) {
            out.push_back(arrayDescriptor(stride, std::move(data)));
        } else {
            EboDescriptor record = arrayDescriptor(stride, {});
            record.byteSize = static_cast<std::int32_t>(data.size());
            out.push_back(record);
            EboDescriptor payload;
            payload.kind = 1;
            payload.data = std::move(data);
            out.push_back(std::move(payload));
        }
    }
    return out;
}

EboFile eboFileOf(const std::vector<EboObject>& objects, Generation generation) {
    EboFile file;
    file.generation = generation;
    EboSection arrays;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        // The earlier generation starts an object at a record directly after a record.
        if (generation == Generation::Legacy && i > 0) arrays.descriptors.push_back(arrayDescriptor(0, {}));
        for (auto& d : objectDescriptors(objects[i], generation)) arrays.descriptors.push_back(std::move(d));
        if (traits(generation).objectNames) file.names.push_back(objects[i].name);
    }
    if (generation == Generation::Current) file.sections.push_back({});  // the object table section
    file.sections.push_back(std::move(arrays));
    return file;
}

std::vector<std::uint8_t> makeEbo(const std::vector<EboObject>& objects, Generation generation) {
    return buildEbo(eboFileOf(objects, generation)).bytes;
}

}  // namespace kelvane::writers
