// What a folder's clip is known to hold, as its scan or its load found.
#pragma once

enum class ClipMetadataStatus { unknown, withMetadata, noMetadata, error };
