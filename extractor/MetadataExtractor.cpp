namespace MetadataExtractor {}
