// The reports layer: document model, .docx writer and the report builders.
