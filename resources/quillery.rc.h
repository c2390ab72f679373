// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The few constants of the platform's winver.h that the record uses, spelled
// out so that it also compiles where those headers are not installed.
#ifndef VS_VERSION_INFO
#define VS_VERSION_INFO 1
#endif
#ifndef VS_FFI_FILEFLAGSMASK
#define VS_FFI_FILEFLAGSMASK 0x0000003FL
#endif
#ifndef VOS__WINDOWS32
#define VOS__WINDOWS32 0x00000004L
#endif
#ifndef VFT_APP
#define VFT_APP 0x00000001L
#endif
#ifndef VFT2_UNKNOWN
#define VFT2_UNKNOWN 0x00000000L
#endif
#ifndef CREATEPROCESS_MANIFEST_RESOURCE_ID
#define CREATEPROCESS_MANIFEST_RESOURCE_ID 1
#endif
#ifndef RT_MANIFEST
#define RT_MANIFEST 24
#endif
