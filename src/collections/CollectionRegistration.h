#pragma once
// Registers the collections report (report kind 1) with the report window.
void registerCollectionReport();
