#!/usr/bin/env python3
"""Writes a umockdev description of a machine with N PCI and USB devices.

Half of the N records are PCI functions, the other half USB: host
controllers (PCI functions themselves) each carrying a root hub and up to
100 devices of one interface each. Every record is one that the inventory
lists, so N is the number of devices a run sees. All vendor IDs are made up.

Usage: make-tree.py N OUTPUT
"""

import sys

PORTS_PER_HUB = 100
TUNER_VENDOR = 0xF00D
TUNER_DEVICE = 0x7A31


def pci_slot(index):
    # Domain 0, then bus, device (0-31) and function (0-7) as the kernel names them.
    bus, rest = divmod(index, 256)
    device, function = divmod(rest, 8)
    return "0000:%02x:%02x.%x" % (bus + 1, device, function)


def pci_config(vendor, device, cls, revision, sub_vendor, sub_device):
    # The first 64 bytes of the configuration space, which lspci reads.
    space = bytearray(64)
    space[0:2] = vendor.to_bytes(2, "little")
    space[2:4] = device.to_bytes(2, "little")
    space[8] = revision
    space[9:12] = cls.to_bytes(3, "little")
    space[0x2C:0x2E] = sub_vendor.to_bytes(2, "little")
    space[0x2E:0x30] = sub_device.to_bytes(2, "little")
    return space.hex()


def pci_record(out, index, vendor, device, cls, driver=None, model=None):
    slot = pci_slot(index)
    out.append("P: /devices/pci0000:00/%s" % slot)
    out.append("E: SUBSYSTEM=pci")
    if driver:
        out.append("E: DRIVER=%s" % driver)
    out.append("E: PCI_CLASS=%X" % cls)
    out.append("E: PCI_ID=%04X:%04X" % (vendor, device))
    out.append("E: PCI_SUBSYS_ID=3EC1:%04X" % (index & 0xFFFF))
    out.append("E: PCI_SLOT_NAME=%s" % slot)
    if model:
        out.append("E: ID_MODEL_FROM_DATABASE=%s" % model)
    out.append("A: vendor=0x%04x" % vendor)
    out.append("A: device=0x%04x" % device)
    out.append("A: subsystem_vendor=0x3ec1")
    out.append("A: subsystem_device=0x%04x" % (index & 0xFFFF))
    out.append("A: class=0x%06x" % cls)
    out.append("A: revision=0x%02x" % (index & 0xFF))
    out.append("H: config=%s" % pci_config(vendor, device, cls, index & 0xFF, 0x3EC1,
                                            index & 0xFFFF))
    if driver:
        out.append("L: driver=../../../bus/pci/drivers/%s" % driver)
    out.append("")
    return "/devices/pci0000:00/%s" % slot


def usb_device(out, path, depth, vendor, product, bcd, driver, maker, name):
    out.append("P: %s" % path)
    out.append("E: SUBSYSTEM=usb")
    out.append("E: DEVTYPE=usb_device")
    out.append("E: DRIVER=%s" % driver)
    out.append("E: PRODUCT=%x/%x/%x" % (vendor, product, bcd))
    out.append("E: TYPE=0/0/0")
    out.append("A: idVendor=%04x" % vendor)
    out.append("A: idProduct=%04x" % product)
    out.append("A: bcdDevice=%04x" % bcd)
    out.append("A: manufacturer=%s" % maker)
    out.append("A: product=%s" % name)
    out.append("L: driver=%sbus/usb/drivers/%s" % ("../" * depth, driver))
    out.append("")


def usb_interface(out, path, depth, vendor, product, bcd, number, driver):
    out.append("P: %s" % path)
    out.append("E: SUBSYSTEM=usb")
    out.append("E: DEVTYPE=usb_interface")
    out.append("E: DRIVER=%s" % driver)
    out.append("E: PRODUCT=%x/%x/%x" % (vendor, product, bcd))
    out.append("E: INTERFACE=255/0/0")
    out.append("A: bInterfaceNumber=%02x" % number)
    out.append("A: bInterfaceClass=ff")
    out.append("L: driver=%sbus/usb/drivers/%s" % ("../" * depth, driver))
    out.append("")


def make_tree(total):
    out = []
    pci_count = total // 2
    usb_left = total - pci_count
    pci_index = 0
    bus = 0
    # The USB side: each controller takes one PCI record, its hub one USB
    # record, and every device two (the device and its interface).
    while usb_left > 0 and pci_index < pci_count:
        controller = pci_record(out, pci_index, 0x1D9A, 0x0001, 0x0C0330, driver="testhcd")
        pci_index += 1
        bus += 1
        hub = "%s/usb%d" % (controller, bus)
        usb_device(out, hub, 4, 0x1D9A, 0x0002, 0x0515, "usb", "Test Host", "Root hub %d" % bus)
        usb_left -= 1
        port = 1
        while usb_left >= 2 and port <= PORTS_PER_HUB:
            name = "%d-%d" % (bus, port)
            product = (bus * PORTS_PER_HUB + port) & 0xFFFF
            usb_device(out, "%s/%s" % (hub, name), 5, 0x3EC1, product, 0x0100, "usb",
                       "Example Devices", "Test Stick %d" % product)
            usb_interface(out, "%s/%s/%s:1.0" % (hub, name, name), 6, 0x3EC1, product, 0x0100,
                          0, "test-stick")
            usb_left -= 2
            port += 1
    # The rest are plain PCI functions; the tuner the kit looks for is the
    # last one, so a search for it walks every device before it.
    while pci_index < pci_count + usb_left:
        last = pci_index == pci_count + usb_left - 1
        if last:
            pci_record(out, pci_index, TUNER_VENDOR, TUNER_DEVICE, 0x048000, driver="tvcap",
                       model="Test capture function")
        else:
            pci_record(out, pci_index, 0x1D9A, 0x1000 + (pci_index & 0xEFFF), 0x020000)
        pci_index += 1
    return "\n".join(out)


def main():
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    total = int(sys.argv[1])
    if total < 2:
        sys.stderr.write("N must be at least 2\n")
        return 2
    with open(sys.argv[2], "w", encoding="ascii") as f:
        f.write(make_tree(total))
    return 0


if __name__ == "__main__":
    sys.exit(main())
