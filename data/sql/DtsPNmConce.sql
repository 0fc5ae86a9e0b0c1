select cod_conc from nm_proto
where cod_empr = :cod_empr
and cod_prot = :cod_prot
