"""Turns a name-keyed CFF font set into a CID-keyed one (Adobe-Identity-0, one Font DICT), whose
glyph i has CID i + CID_OFFSET, so that a reader must go through the charset to find a CID's
glyph. The glyph programs, global and local subroutines and the Private DICT are kept."""
import struct

CID_OFFSET = 1000


def read_index(data, at):
    count = struct.unpack(">H", data[at:at + 2])[0]
    if count == 0:
        return [], at + 2
    size = data[at + 2]
    offsets = [int.from_bytes(data[at + 3 + i * size:at + 3 + (i + 1) * size], "big")
               for i in range(count + 1)]
    base = at + 3 + (count + 1) * size - 1
    return [data[base + offsets[i]:base + offsets[i + 1]] for i in range(count)], base + offsets[-1]


def write_index(items):
    if not items:
        return b"\0\0"
    offsets = [1]
    for item in items:
        offsets.append(offsets[-1] + len(item))
    return struct.pack(">HB", len(items), 4) + b"".join(struct.pack(">I", o) for o in offsets) + \
        b"".join(items)


def read_dict(data):
    """Operator (int, or 1200 + b for escaped ones) -> list of operand values (raw for reals)."""
    entries, operands, at = {}, [], 0
    while at < len(data):
        b0 = data[at]
        if b0 <= 21:
            op = 1200 + data[at + 1] if b0 == 12 else b0
            at += 2 if b0 == 12 else 1
            entries[op] = operands
            operands = []
        elif b0 == 28:
            operands.append(struct.unpack(">h", data[at + 1:at + 3])[0])
            at += 3
        elif b0 == 29:
            operands.append(struct.unpack(">i", data[at + 1:at + 5])[0])
            at += 5
        elif b0 == 30:
            end = at + 1
            while (data[end] & 0x0F) != 0x0F and (data[end] >> 4) != 0x0F:
                end += 1
            operands.append(bytes(data[at:end + 1]))
            at = end + 1
        elif b0 <= 246:
            operands.append(b0 - 139)
            at += 1
        elif b0 <= 250:
            operands.append((b0 - 247) * 256 + data[at + 1] + 108)
            at += 2
        else:
            operands.append(-(b0 - 251) * 256 - data[at + 1] - 108)
            at += 2
    return entries


def write_dict(entries):
    out = b""
    for op, operands in entries.items():
        for value in operands:
            out += value if isinstance(value, bytes) else b"\x1d" + struct.pack(">i", value)
        out += bytes([12, op - 1200]) if op >= 1200 else bytes([op])
    return out


def cid_keyed(cff):
    names, at = read_index(cff, cff[2])
    tops, at = read_index(cff, at)
    strings, at = read_index(cff, at)
    global_subrs, _ = read_index(cff, at)
    top = read_dict(tops[0])
    charstrings, _ = read_index(cff, top[17][0])
    private_size, private_at = top[18]
    private = read_dict(cff[private_at:private_at + private_size])
    local_subrs = []
    if 19 in private:
        local_subrs, _ = read_index(cff, private_at + private[19][0])
    glyphs = len(charstrings)
    registry, ordering = 391 + len(strings), 392 + len(strings)
    strings = strings + [b"Adobe", b"Identity"]

    # The parts after the Top DICT, each at an offset known once the Top DICT's size is: every
    # offset is written in five bytes, so that size does not depend on the values.
    new_top = {k: v for k, v in top.items() if k not in (15, 16, 17, 18)}
    new_top = {1230: [registry, ordering, 0], **new_top, 1234: [glyphs + CID_OFFSET],
               15: [0], 17: [0], 1236: [0], 1237: [0]}
    header = bytes([1, 0, 4, 4])
    name_index = write_index(names)
    string_index = write_index(strings)
    global_index = write_index(global_subrs)
    top_size = len(write_index([write_dict(new_top)]))
    at = len(header) + len(name_index) + top_size + len(string_index) + len(global_index)
    charset = b"\0" + b"".join(struct.pack(">H", g + CID_OFFSET) for g in range(1, glyphs))
    fd_select = struct.pack(">BHHBH", 3, 1, 0, 0, glyphs)
    charstrings_at = at
    charset_at = charstrings_at + len(write_index(charstrings))
    fd_select_at = charset_at + len(charset)
    fd_array_at = fd_select_at + len(fd_select)
    new_private = dict(private)
    if local_subrs:
        new_private[19] = [0]
    private_bytes = write_dict(new_private)
    if local_subrs:
        new_private[19] = [len(private_bytes)]
        private_bytes = write_dict(new_private)
    font_dict = {18: [len(private_bytes), 0]}
    fd_array_size = len(write_index([write_dict(font_dict)]))
    private_at = fd_array_at + fd_array_size
    font_dict[18] = [len(private_bytes), private_at]
    new_top[15] = [charset_at]
    new_top[17] = [charstrings_at]
    new_top[1236] = [fd_array_at]
    new_top[1237] = [fd_select_at]
    out = header + name_index + write_index([write_dict(new_top)]) + string_index + global_index
    assert len(out) == charstrings_at
    out += write_index(charstrings) + charset + fd_select + write_index([write_dict(font_dict)])
    out += private_bytes + (write_index(local_subrs) if local_subrs else b"")
    return out
