select nom_tnom from nm_tnomi
where cod_empr = :cod_empr
and cod_tnom = :cod_tnom
