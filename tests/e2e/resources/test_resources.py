"""The built programs and the installer read back with a maintained PE library (pefile): the manifest, the
version information, the icon (the committed assets/orlinde.ico, every size) and the Screen Saver list's
name; the version everywhere is the project's."""
import re
import struct
import unittest
import xml.etree.ElementTree as ET

import pefile

from e2e_paths import BUILD, HOST, RENDERER, SOURCE
from program_names import HOST_FILE, RENDERER_FILE

VERSION = re.search(r"project\(Orlinde VERSION ([0-9.]+)", (SOURCE / "CMakeLists.txt").read_text()).group(1)
SETUP = BUILD / "installer" / f"Orlinde-{VERSION}-setup.exe"
ICON = SOURCE / "assets" / "orlinde.ico"

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
WS2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WS2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
WINDOWS_7_TO_11 = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                   "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}


class Resources:
    def __init__(self, path):
        self.pe = pefile.PE(str(path))

    def entries(self, kind):
        """{resource id: bytes} of one resource type (first language of each)."""
        found = {}
        for entry in self.pe.DIRECTORY_ENTRY_RESOURCE.entries:
            if entry.id == pefile.RESOURCE_TYPE[kind]:
                for item in entry.directory.entries:
                    data = item.directory.entries[0].data.struct
                    found[item.id] = self.pe.get_data(data.OffsetToData, data.Size)
        return found

    def version_strings(self):
        return {k.decode(): v.decode() for info in self.pe.FileInfo[0] if hasattr(info, "StringTable")
                for table in info.StringTable for k, v in table.entries.items()}

    def fixed_version(self):
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        return (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF, fixed.FileVersionLS >> 16,
                fixed.ProductVersionMS >> 16, fixed.ProductVersionMS & 0xFFFF, fixed.ProductVersionLS >> 16)

    def icon_images(self):
        """The first icon group's images as {(width, height): bytes}."""
        group = next(iter(self.entries("RT_GROUP_ICON").values()))
        images = self.entries("RT_ICON")
        count = struct.unpack_from("<H", group, 4)[0]
        found = {}
        for k in range(count):
            w, h, _, _, _, _, _, image_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * k)
            found[(w or 256, h or 256)] = images[image_id]
        return found

    def string(self, number):
        """String resource `number`: the 16-string block (number // 16 + 1), UTF-16 strings with counts."""
        block = self.entries("RT_STRING")[number // 16 + 1]
        at = 0
        for _ in range(number % 16):
            at += 2 + 2 * struct.unpack_from("<H", block, at)[0]
        length = struct.unpack_from("<H", block, at)[0]
        return block[at + 2:at + 2 + 2 * length].decode("utf-16-le")


def ico_images(path):
    data = path.read_bytes()
    found = {}
    for k in range(struct.unpack_from("<H", data, 4)[0]):
        w, h, _, _, _, _, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * k)
        found[(w or 256, h or 256)] = data[offset:offset + size]
    return found


class ProgramResourcesTest(unittest.TestCase):
    PROGRAMS = {HOST: ("Orlinde rain screen saver", HOST_FILE, True),
                RENDERER: ("Orlinde rain renderer", RENDERER_FILE, False)}

    def test_manifest_asks_for_no_rights_real_pixels_and_common_controls_for_the_host(self):
        for path, (_, _, host) in self.PROGRAMS.items():
            with self.subTest(program=path.name):
                manifests = Resources(path).entries("RT_MANIFEST")
                self.assertEqual([1], list(manifests), "one manifest, for the process")
                root = ET.fromstring(manifests[1])
                level = root.find(f".//{ASM_V3}requestedExecutionLevel")
                self.assertEqual("asInvoker", level.get("level"))
                self.assertEqual(WINDOWS_7_TO_11, {os.get("Id") for os in root.iter(f"{COMPAT}supportedOS")})
                self.assertEqual("PerMonitorV2", root.find(f".//{WS2016}dpiAwareness").text)
                self.assertEqual("true/pm", root.find(f".//{WS2005}dpiAware").text)
                self.assertFalse([e for e in root.iter() if str(e.tag).endswith("activeCodePage")],
                                 "the ANSI code page stays the system's")
                dependencies = {(a.get("name"), a.get("version")) for a in root.iter(f"{ASM_V1}assemblyIdentity")}
                self.assertEqual({("Microsoft.Windows.Common-Controls", "6.0.0.0")} if host else set(),
                                 dependencies)

    def test_version_information_is_the_projects_version(self):
        numbers = tuple(int(n) for n in VERSION.split("."))
        for path, (description, filename, _) in self.PROGRAMS.items():
            with self.subTest(program=path.name):
                resources = Resources(path)
                strings = resources.version_strings()
                self.assertEqual(numbers * 2, resources.fixed_version())
                for key, value in {"FileVersion": VERSION, "ProductVersion": VERSION, "ProductName": "Orlinde",
                                   "FileDescription": description, "OriginalFilename": filename}.items():
                    self.assertEqual(value, strings.get(key), key)
                self.assertTrue(strings.get("CompanyName"))
                self.assertIn(strings["CompanyName"], strings.get("LegalCopyright", ""))

    def test_programs_and_installer_carry_the_committed_icon_in_every_size(self):
        expected = ico_images(ICON)
        self.assertEqual({(n, n) for n in (16, 24, 32, 48, 256)}, set(expected))
        for path in (HOST, RENDERER):
            with self.subTest(program=path.name):
                self.assertEqual(expected, Resources(path).icon_images())
        # NSIS puts the icon into its stub's own icon group; the sizes must all be there.
        self.assertEqual(set(expected), set(Resources(SETUP).icon_images()))

    def test_screen_saver_list_name_is_string_1(self):
        self.assertEqual("Orlinde", Resources(HOST).string(1))

    def test_installer_is_a_64_bit_program_of_the_projects_version(self):
        resources = Resources(SETUP)
        self.assertEqual(pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"], resources.pe.FILE_HEADER.Machine)
        self.assertEqual(VERSION, resources.version_strings().get("ProductVersion"))


if __name__ == "__main__":
    unittest.main()
