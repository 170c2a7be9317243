#include "usbemu/EmulatedBus.h"

#include "usbemu/Preload.h"

#include <umockdev.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace zem::usbemu {

namespace {

// Text attributes end in a newline, as the kernel writes them; readers strip it.
std::string Line(const std::string& text) { return text + "\n"; }

std::string Padded(unsigned number)
{
    char text[8];
    std::snprintf(text, sizeof text, "%03u", number);
    return text;
}

} // namespace

EmulatedBus::EmulatedBus() : testbed_(umockdev_testbed_new())
{
    if (!UnderUmockdevPreload()) throw std::runtime_error("the umockdev preload is not loaded");
}

EmulatedBus::~EmulatedBus()
{
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_) {
        if (!slot.syspath.empty()) Detach(slot);
    }
    for (auto& [node, usbdevfs] : nodes_) umockdev_testbed_detach_ioctl(testbed_, node.c_str(), nullptr);
    nodes_.clear();
    slots_.clear();
    g_object_unref(testbed_);
}

std::size_t EmulatedBus::Add(const Ft232rEeprom& eeprom)
{
    std::lock_guard lock(mutex_);
    slots_.push_back(Slot{std::make_unique<Ft232rChip>(eeprom), nullptr, 0, {}});
    Attach(slots_.size() - 1);
    return slots_.size() - 1;
}

Ft232rChip& EmulatedBus::Chip(std::size_t index)
{
    std::lock_guard lock(mutex_);
    return *slots_.at(index).chip;
}

std::string EmulatedBus::Node(std::size_t index) const
{
    std::lock_guard lock(mutex_);
    return "/dev/bus/usb/001/" + Padded(slots_.at(index).devnum);
}

bool EmulatedBus::Plugged(std::size_t index) const
{
    std::lock_guard lock(mutex_);
    return !slots_.at(index).syspath.empty();
}

void EmulatedBus::Attach(std::size_t index)
{
    Slot& slot = slots_.at(index);
    slot.devnum = nextDevnum_++;
    slot.chip->PlugIn();
    const Ft232rEeprom::Identity id = slot.chip->Presented();
    const std::string devnum = std::to_string(slot.devnum);
    const std::string node = Node(index);
    char vendor[8], product[8];
    std::snprintf(vendor, sizeof vendor, "%04x", id.vendorId);
    std::snprintf(product, sizeof product, "%04x", id.productId);
    const std::string name = "usb1/1-" + std::to_string(slot.devnum);
    const std::string attributes[][2] = {
        {"idVendor", Line(vendor)}, {"idProduct", Line(product)}, {"bcdDevice", Line("0600")},
        {"manufacturer", Line(id.manufacturer)}, {"product", Line(id.description)}, {"serial", Line(id.serial)},
        {"busnum", Line("1")}, {"devnum", Line(devnum)}, {"speed", Line("12")},
        {"bConfigurationValue", Line("1")}, {"bNumInterfaces", Line(" 1")}, {"dev", Line("189:" + devnum)},
    };
    const std::string properties[][2] = {
        {"DEVTYPE", "usb_device"}, {"DEVNAME", node}, {"BUSNUM", "001"}, {"DEVNUM", Padded(slot.devnum)},
        {"ID_VENDOR_ID", vendor}, {"ID_MODEL_ID", product}, {"ID_SERIAL_SHORT", id.serial},
    };
    std::vector<const char*> attrs, props;
    for (const auto& a : attributes) {
        if (a[0] == "serial" && id.serial.empty()) continue;  // a bridge without a serial number has no such file
        attrs.push_back(a[0].c_str());
        attrs.push_back(a[1].c_str());
    }
    attrs.push_back(nullptr);
    for (const auto& p : properties) {
        props.push_back(p[0].c_str());
        props.push_back(p[1].c_str());
    }
    props.push_back(nullptr);
    gchar* syspath = umockdev_testbed_add_devicev(testbed_, "usb", name.c_str(), nullptr,
                                                  const_cast<gchar**>(attrs.data()), const_cast<gchar**>(props.data()));
    if (!syspath) throw std::runtime_error("umockdev refused the device " + name);
    slot.syspath = syspath;
    g_free(syspath);

    // umockdev marks the node as a character device but leaves the file itself to us.
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    const std::filesystem::path file = std::filesystem::path(root) / node.substr(1);
    g_free(root);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream{file};

    std::vector<std::uint8_t> descriptors = slot.chip->DeviceDescriptor();
    const auto configuration = Ft232rChip::ConfigurationDescriptor();
    descriptors.insert(descriptors.end(), configuration.begin(), configuration.end());
    umockdev_testbed_set_attribute_binary(testbed_, slot.syspath.c_str(), "descriptors", descriptors.data(),
                                          static_cast<gssize>(descriptors.size()));

    auto usbdevfs = std::make_unique<UsbdevfsDevice>(*slot.chip, slot.devnum, [this, index] { Unplug(index); });
    slot.usbdevfs = usbdevfs.get();
    nodes_.emplace_back(node, std::move(usbdevfs));
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed_, node.c_str(), slot.usbdevfs->Handler(), &error)) {
        const std::string why = error ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("umockdev cannot emulate " + node + ": " + why);
    }
}

void EmulatedBus::Detach(Slot& slot)
{
    umockdev_testbed_uevent(testbed_, slot.syspath.c_str(), "remove");
    umockdev_testbed_remove_device(testbed_, slot.syspath.c_str());
    slot.syspath.clear();
}

void EmulatedBus::Unplug(std::size_t index)
{
    std::lock_guard lock(mutex_);
    Slot& slot = slots_.at(index);
    if (slot.syspath.empty()) return;
    Detach(slot);
    slot.usbdevfs->Unplugged();
}

void EmulatedBus::Replug(std::size_t index)
{
    std::lock_guard lock(mutex_);
    Unplug(index);
    Attach(index);
}

} // namespace zem::usbemu
